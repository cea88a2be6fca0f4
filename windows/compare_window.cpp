#include "windows/compare_window.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace windows {
namespace {

// The fields any item has, in the first item's order, then the others'.
QStringList fieldNames(const QVector<query::ComparedItem> &items)
{
    QStringList names;
    for (const query::ComparedItem &item : items) {
        for (const fields::ItemField &field : item.fields) {
            if (!names.contains(field.name))
                names.append(field.name);
        }
    }
    return names;
}

const fields::ItemField *fieldOf(const query::ComparedItem &item, const QString &name)
{
    for (const fields::ItemField &field : item.fields) {
        if (field.name == name)
            return &field;
    }
    return nullptr;
}

// "1 (-2)" beside the first item's number; the value alone otherwise; "none" when missing.
QString cellText(const query::ComparedItem &item, const query::ComparedItem &first, const QString &name)
{
    const fields::ItemField *field = fieldOf(item, name);
    if (!field)
        return QStringLiteral("none");
    const fields::ItemField *firstField = fieldOf(first, name);
    if (&item == &first || !firstField || field->kind != fields::Kind::Number
        || firstField->kind != fields::Kind::Number)
        return field->text;
    return QStringLiteral("%1 (%2)").arg(field->text, query::differenceText(field->number, firstField->number));
}

// The stored description with real line breaks, without empty lines at its end.
QString descriptionText(const QString &stored)
{
    QStringList lines = stored.split(u'|');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines.join(u'\n');
}

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
    return item;
}

} // namespace

CompareWindow::CompareWindow(const QVector<query::ComparedItem> &items, QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("compareItemsWindow"));
    setWindowTitle(QStringLiteral("Compare Items"));
    setAccessibleName(windowTitle());

    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("comparisonTable"));
    table_->setAccessibleName(QStringLiteral("Comparison"));
    table_->setWordWrap(true);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    fillTable(items);

    const QString text = query::compareText(items);
    auto *textLabel = new QLabel(QStringLiteral("As &text:"), this);
    textLabel->setObjectName(QStringLiteral("comparisonTextLabel"));
    auto *textView = new QPlainTextEdit(text, this);
    textView->setObjectName(QStringLiteral("comparisonText"));
    textView->setAccessibleName(QStringLiteral("Comparison as text"));
    textView->setReadOnly(true);
    textView->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    textLabel->setBuddy(textView);

    auto *copyButton = new QPushButton(QStringLiteral("&Copy"), this);
    copyButton->setObjectName(QStringLiteral("copyButton"));
    copyButton->setAccessibleName(QStringLiteral("Copy"));
    copyButton->setAccessibleDescription(QStringLiteral("Puts the comparison on the clipboard as text"));
    auto *closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setAccessibleName(QStringLiteral("Close"));
    connect(copyButton, &QPushButton::clicked, this, [text] { QGuiApplication::clipboard()->setText(text); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copyButton);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(table_, 3);
    layout->addWidget(textLabel);
    layout->addWidget(textView, 1);
    layout->addLayout(buttons);
    resize(qMin(900, 200 + 180 * int(items.size())), 560);
    table_->setFocus();
}

void CompareWindow::fillTable(const QVector<query::ComparedItem> &items)
{
    const QStringList names = fieldNames(items);
    const QStringList rows = names + QStringList{QStringLiteral("Name"), QStringLiteral("Database"),
                                                 QStringLiteral("Description")};
    table_->setColumnCount(int(items.size()));
    table_->setRowCount(int(rows.size()));
    table_->setVerticalHeaderLabels(rows);
    QStringList itemNames;
    for (int column = 0; column < items.size(); ++column) {
        const query::ComparedItem &item = items[column];
        itemNames.append(item.name);
        for (int row = 0; row < names.size(); ++row)
            table_->setItem(row, column, cell(cellText(item, items.first(), names[row])));
        table_->setItem(int(names.size()), column, cell(item.name));
        table_->setItem(int(names.size()) + 1, column, cell(item.database));
        table_->setItem(int(names.size()) + 2, column, cell(descriptionText(item.description)));
    }
    table_->setHorizontalHeaderLabels(itemNames);
    table_->setAccessibleDescription(
        QStringLiteral("%1 items side by side, one column each: %2. One row per field; each number after the "
                       "first item's is followed by its difference from it.")
            .arg(items.size())
            .arg(itemNames.join(QStringLiteral(", "))));
}

void CompareWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace windows
