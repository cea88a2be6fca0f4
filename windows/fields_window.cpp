#include "windows/fields_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace windows {
namespace {

QLabel *captionFor(const QString &caption, QWidget *buddy)
{
    auto *label = new QLabel(caption);
    label->setBuddy(buddy);
    return label;
}

template <class Control>
Control *named(Control *control, const char *objectName, const QString &accessibleName)
{
    control->setObjectName(QLatin1String(objectName));
    control->setAccessibleName(accessibleName);
    return control;
}

} // namespace

FieldsWindow::FieldsWindow(program::Program &program, base::Dialogs &dialogs, bool allDatabases, QWidget *parent)
    : QWidget(parent, Qt::Window), program_(program), dialogs_(dialogs), allDatabases_(allDatabases)
{
    setObjectName(QStringLiteral("fieldsWindow"));
    setWindowTitle(QStringLiteral("Fields"));
    setAccessibleName(windowTitle());
    fieldList_ = named(new QListWidget, "fieldList", QStringLiteral("Fields found"));
    itemFields_ = named(new QListWidget, "itemFields", QStringLiteral("Fields of the selected item"));
    itemLabel_ = new QLabel(QStringLiteral("Fields of the se&lected item:"));
    itemLabel_->setBuddy(itemFields_);
    rulesEditor_ = named(new QPlainTextEdit, "rulesEditor", QStringLiteral("Rules"));
    rulesEditor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *tryButton = named(new QPushButton(QStringLiteral("&Try")), "tryButton", QStringLiteral("Try"));
    auto *saveButton = named(new QPushButton(QStringLiteral("&Save")), "saveButton", QStringLiteral("Save"));
    auto *closeButton = named(new QPushButton(QStringLiteral("Close")), "closeButton", QStringLiteral("Close"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(captionFor(QStringLiteral("&Fields:"), fieldList_), 0, 0);
    grid->addWidget(fieldList_, 1, 0);
    grid->addWidget(itemLabel_, 2, 0);
    grid->addWidget(itemFields_, 3, 0);
    grid->addWidget(captionFor(QStringLiteral("&Rules (fields.txt):"), rulesEditor_), 0, 1);
    grid->addWidget(rulesEditor_, 1, 1, 3, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *button : {tryButton, saveButton, closeButton})
        buttons->addWidget(button);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 2);

    connect(tryButton, &QPushButton::clicked, this, &FieldsWindow::onTry);
    connect(saveButton, &QPushButton::clicked, this, &FieldsWindow::onSave);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    QString text;
    if (dialogs_.report(program_.fieldRulesText(&text)))
        rulesEditor_->setPlainText(text);
    resize(sizeHint().expandedTo(QSize(760, 480)));
    onTry();
}

void FieldsWindow::showItem(const std::optional<query::ComparedItem> &item)
{
    item_ = item;
    showFields();
}

void FieldsWindow::onTry()
{
    program::FieldScope tried;
    if (!dialogs_.report(program_.tryFieldRules(rulesEditor_->toPlainText(), allDatabases_, &tried)))
        return;
    tried_ = std::move(tried);
    showFields();
}

void FieldsWindow::onSave()
{
    if (dialogs_.report(program_.saveFieldRules(rulesEditor_->toPlainText())))
        onTry();
}

QVector<fields::ItemField> FieldsWindow::fieldsOfItem() const
{
    // Read with the rules tried, when the item is in their scope.
    for (int database = 0; database < tried_.scope.size(); ++database) {
        if (tried_.scope[database].name != item_->database)
            continue;
        for (int record = 0; record < tried_.scope[database].index->records.size(); ++record) {
            const query::Hit hit{database, record};
            if (query::itemName(tried_.scope, hit) == item_->name
                && query::itemDescription(tried_.scope, hit) == item_->description)
                return tried_.scope[database].fields->itemFields(record);
        }
    }
    return item_->fields;
}

void FieldsWindow::showFields()
{
    fieldList_->clear();
    for (const fields::FieldInfo &field : tried_.known.fields())
        fieldList_->addItem(tried_.known.summary(field));
    itemFields_->clear();
    if (!item_)
        return;
    itemLabel_->setText(QStringLiteral("Fields of %1 (se&lected item):").arg(QString(item_->name).replace(QLatin1Char('&'), QStringLiteral("&&"))));
    for (const fields::ItemField &field : fieldsOfItem())
        itemFields_->addItem(field.name + QStringLiteral(": ") + field.text);
}

} // namespace windows
