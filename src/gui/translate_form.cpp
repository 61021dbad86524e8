#include "translate_form.h"

#include "platform/language_texts.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QWidget>

namespace sw {

namespace {

void translateCaption(QObject* control, const QString& text) {
    if (auto* action = qobject_cast<QAction*>(control))
        action->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setPlaceholderText(text);
    else if (auto* widget = qobject_cast<QWidget*>(control); widget && widget->isWindow())
        widget->setWindowTitle(text);
}

void translateColumns(QObject* control, const LanguageTexts& texts) {
    const QStringList keys = control->property(kColumnKeysProperty).toStringList();
    if (keys.isEmpty())
        return;
    if (auto* tree = qobject_cast<QTreeWidget*>(control)) {
        QTreeWidgetItem* header = tree->headerItem();
        for (int column = 0; column < keys.size() && column < tree->columnCount(); ++column)
            header->setText(column, texts.getText(keys[column]));
    } else if (auto* view = qobject_cast<QAbstractItemView*>(control); view && view->model()) {
        for (int column = 0; column < keys.size() && column < view->model()->columnCount(); ++column)
            view->model()->setHeaderData(column, Qt::Horizontal, texts.getText(keys[column]));
    }
}

// The caption as a screen reader should say it: without the access key's "&" and the colon.
QString spokenCaption(QString caption) {
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
    caption.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    caption = caption.trimmed();
    if (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    return caption.trimmed();
}

void translate(QObject* control, const LanguageTexts& texts) {
    const QString key = control->property(kLanguageKeyProperty).toString();
    if (!key.isEmpty())
        translateCaption(control, texts.getText(key));
    auto* action = qobject_cast<QAction*>(control);
    auto* widget = qobject_cast<QWidget*>(control);
    const QString shortcutKey = control->property(kShortcutKeyProperty).toString();
    if (action && !shortcutKey.isEmpty())
        action->setShortcut(QKeySequence(texts.getText(shortcutKey), QKeySequence::PortableText));
    const QString tipKey = control->property(kToolTipKeyProperty).toString();
    if (!tipKey.isEmpty()) {
        QString tip = texts.getText(tipKey);
        if (action && !action->shortcut().isEmpty())
            tip += QStringLiteral(" (") + action->shortcut().toString(QKeySequence::NativeText) +
                   QLatin1Char(')');
        if (action)
            action->setToolTip(tip);
        else if (widget)
            widget->setToolTip(tip);
    }
    const QString nameKey = control->property(kAccessibleNameKeyProperty).toString();
    if (widget && !nameKey.isEmpty())
        widget->setAccessibleName(spokenCaption(texts.getText(nameKey)));
    translateColumns(control, texts);
}

void nameBuddies(const QWidget* window) {
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        QWidget* buddy = label->buddy();
        if (buddy && buddy->property(kAccessibleNameKeyProperty).toString().isEmpty())
            buddy->setAccessibleName(spokenCaption(label->text()));
    }
}

} // namespace

void setLanguageKey(QObject* control, const QString& key) {
    control->setProperty(kLanguageKeyProperty, key);
}

void translateForm(QWidget* window, const LanguageTexts& texts) {
    translate(window, texts);
    const auto children = window->findChildren<QObject*>();
    for (QObject* child : children)
        translate(child, texts);
    nameBuddies(window);
}

} // namespace sw
