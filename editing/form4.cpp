#include "editing/form4.h"

#include "app/failure.h"
#include "app/item_database.h"
#include "app/module1.h"
#include "app/text_file.h"
#include "app/twips.h"
#include "editing/description_encoding.h"
#include "editing/editing_menu.h"
#include "main_window/form1.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

Form4::Form4(Form1 &main)
    : QWidget(&main, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                         | Qt::MSWindowsFixedSizeDialogHint),
      main_(main)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Add New Item"));
    setAccessibleName(windowTitle());
    setFixedSize(clientPixels(4890, 3705));

    Command1 = new QPushButton(QStringLiteral("Add"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(Command1->text());
    setTwips(Command1, {3600, 3240, 1095, 375});

    Text2 = new QPlainTextEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setAccessibleName(QStringLiteral("Description"));
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next control, so the window works from the keyboard.
    Text2->setTabChangesFocus(true);
    setTwips(Text2, {1080, 480, 3615, 2655});

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Item Name"));
    setTwips(Text1, {1080, 120, 3615, 285});

    Label2 = new QLabel(QStringLiteral("Description:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAccessibleName(Label2->text());
    Label2->setBuddy(Text2);
    setTwips(Label2, {120, 480, 855, 255});

    Label1 = new QLabel(QStringLiteral("Item Name:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAccessibleName(Label1->text());
    Label1->setBuddy(Text1);
    setTwips(Label1, {120, 120, 975, 255});

    QWidget::setTabOrder(Command1, Text2);
    QWidget::setTabOrder(Text2, Text1);
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
}

void Form4::Command1_Click()
{
    const Module1 &state = main_.state();
    const QString name = Text1->text();
    try {
        // A name the file cannot hold is refused before anything is written.
        textfile::encodeLines({name});
        const QString stored = description::encodeThroughScratch(state.dataPath(kScratchFile), Text2->toPlainText());
        itemdb::appendItem(state.currentDbPath(), {name, stored});
    } catch (const Failure &failure) {
        main_.reportFailure(failure);
        return;
    }
    close();
    relistAfterChange(main_);
}
