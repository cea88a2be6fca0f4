#include "editing/form2.h"

#include "app/dialogs.h"
#include "app/failure.h"
#include "app/module1.h"
#include "app/text_file.h"
#include "app/twips.h"
#include "editing/description_encoding.h"
#include "editing/editing_menu.h"
#include "editing/record_edit.h"
#include "main_window/form1.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
const QString kRecordChanged = QStringLiteral(
    "This item is no longer at its place in the database file: the file has been changed since the item was "
    "selected.  Nothing was written.  Select the item again to edit it.");
}

Form2::Form2(Form1 &main) : QWidget(&main, Qt::Window), main_(main)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Edit"));
    setAccessibleName(windowTitle());
    resize(clientPixels(4845, 3840));

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Item Name"));
    setTwips(Text1, {1080, 240, 3615, 285});

    Label1 = new QLabel(QStringLiteral("Item Name:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAccessibleName(Label1->text());
    Label1->setBuddy(Text1);
    setTwips(Label1, {120, 240, 975, 255});

    Text2 = new QPlainTextEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setAccessibleName(QStringLiteral("Description"));
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next control, so the window works from the keyboard.
    Text2->setTabChangesFocus(true);
    setTwips(Text2, {1080, 600, 3615, 2655});

    Label2 = new QLabel(QStringLiteral("Description:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAccessibleName(Label2->text());
    Label2->setBuddy(Text2);
    setTwips(Label2, {120, 600, 855, 255});

    Command1 = new QPushButton(QStringLiteral("Update"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(Command1->text());
    setTwips(Command1, {3600, 3360, 1095, 375});

    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAccessibleName(QStringLiteral("Number"));
    setTwips(Label3, {840, 3480, 855, 255});

    Label4 = new QLabel(QStringLiteral("Number:"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setAccessibleName(Label4->text());
    setTwips(Label4, {120, 3480, 615, 255});

    QWidget::setTabOrder(Text1, Text2);
    QWidget::setTabOrder(Text2, Command1);
    Text1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
}

void Form2::fill(int record, const Item &item)
{
    record_ = record;
    original_ = item;
    Text1->setText(item.name);
    Text2->setPlainText(description::editableForm(item.description));
    Label3->setText(QString::number(record));
    Label3->setAccessibleDescription(Label3->text());
    shownName_ = Text1->text();
    shownDescription_ = Text2->toPlainText();
}

Item Form2::editedItem() const
{
    Item edited = original_;
    const QString name = Text1->text();
    if (name != shownName_) {
        textfile::encodeLines({name}); // refused before anything is written
        edited.name = name;
    }
    const QString typed = Text2->toPlainText();
    if (typed != shownDescription_)
        edited.description = description::encodeThroughScratch(main_.state().dataPath(kScratchFile), typed);
    return edited;
}

void Form2::Command1_Click()
{
    try {
        const Item edited = editedItem();
        if (recordedit::replaceRecord(main_.state().currentDbPath(), record_, original_, edited)
            == recordedit::Outcome::RecordChanged) {
            main_.dialogs().message(kRecordChanged);
            return;
        }
    } catch (const Failure &failure) {
        main_.reportFailure(failure);
        return;
    }
    close();
    relistAfterChange(main_);
}
