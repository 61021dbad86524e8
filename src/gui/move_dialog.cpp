#include "move_dialog.h"

#include "controls/twips.h"
#include "entries/entry_writer.h"
#include "entries/places.h"
#include "platform/language_texts.h"
#include "translate_form.h"
#include "tree_nodes.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

namespace sw {

namespace {

// What the dialog says of a node's category.
QString descriptionKeyOf(const QTreeWidgetItem* node) {
    const Category* category = categoryByKey(node->data(0, kCategoryKeyRole).toString());
    return category ? category->descriptionKey : QString();
}

bool isPlaceKey(const QString& key) {
    const auto& places = allPlaces();
    return std::any_of(places.begin(), places.end(),
                       [&](const Place& place) { return place.categoryKey == key; });
}

} // namespace

frmMove::frmMove(const LanguageTexts& texts, const SystemInfo& system, QWidget* parent)
    : QDialog(parent), m_texts(texts), m_system(system) {
    setObjectName(QStringLiteral("frmMove"));
    setWindowTitle(QStringLiteral("Verschieben"));
    setLanguageKey(this, QStringLiteral("MoveWinTit"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    setFont(font);

    tvwCategories = new QTreeWidget(this);
    tvwCategories->setObjectName(QStringLiteral("tvwCategories"));
    tvwCategories->setProperty(kAccessibleNameKeyProperty, QStringLiteral("MoveWinTit"));
    tvwCategories->setProperty(kColumnKeysProperty, QStringList{QStringLiteral("MoveWinTit")});
    tvwCategories->setHeaderHidden(true);
    tvwCategories->setIconSize(QSize(16, 16));
    lblDescription = new QLabel(QStringLiteral("Keine Beschreibung vorhanden."), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setLanguageKey(lblDescription, QStringLiteral("NoDescription"));
    cmdOk = new QPushButton(QStringLiteral("&OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdOk->setEnabled(false);
    setLanguageKey(cmdOk, QStringLiteral("OK"));
    cmdCancel = new QPushButton(QStringLiteral("&Abbrechen"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAccessibleName(QStringLiteral("Cancel"));
    cmdCancel->setAutoDefault(false);
    setLanguageKey(cmdCancel, QStringLiteral("Cancel"));

    const TwipScale scale(logicalDpiX(), logicalDpiY());
    setFixedSize(scale.toPixelsX(3855), scale.toPixelsY(4530));
    tvwCategories->setGeometry(scale.toPixels(QRect(120, 120, 3615, 3015)));
    lblDescription->setGeometry(scale.toPixels(QRect(120, 3240, 3615, 735)));
    cmdCancel->setGeometry(scale.toPixels(QRect(1200, 4080, 1215, 375)));
    cmdOk->setGeometry(scale.toPixels(QRect(2520, 4080, 1215, 375)));

    connect(tvwCategories, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showNode(item); });
    // The keyboard moves the selection too; it chooses as a click does.
    connect(tvwCategories, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { showNode(item); });
    connect(cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMove::reject);
    loadForm();
    fitDescription();
}

void frmMove::loadForm() {
    translateForm(this, m_texts);
    // The category tree without "ALL": its children are the top here, beside "SERVICES".
    buildCategoryNodes(tvwCategories, m_texts, QStringLiteral("ALL"));
    expandAllNodes(node(QStringLiteral("STARTMENU")), true);
    expandAllNodes(node(QStringLiteral("REGISTRY")), true);
    expandAllNodes(node(QStringLiteral("SERVICES")), true);
    tvwCategories->setFocus();
}

void frmMove::fitDescription() {
    // The description shows every line of the longest text; the buttons and the window make room.
    const QFontMetrics metrics(lblDescription->font());
    int height = lblDescription->height();
    for (QTreeWidgetItemIterator it(tvwCategories); *it; ++it)
        height = std::max(height, metrics
                                      .boundingRect(QRect(0, 0, lblDescription->width(), 100000),
                                                    Qt::TextWordWrap, m_texts.getText(descriptionKeyOf(*it)))
                                      .height());
    const int grown = height - lblDescription->height();
    if (grown <= 0)
        return;
    lblDescription->resize(lblDescription->width(), height);
    for (QWidget* button : {static_cast<QWidget*>(cmdOk), static_cast<QWidget*>(cmdCancel)})
        button->move(button->x(), button->y() + grown);
    setFixedSize(width(), this->height() + grown);
}

QTreeWidgetItem* frmMove::node(const QString& key) const {
    return findCategoryNode(tvwCategories, key);
}

void frmMove::showNode(QTreeWidgetItem* item) {
    if (!item)
        return;
    if (tvwCategories->currentItem() != item)
        tvwCategories->setCurrentItem(item);
    item->setSelected(true);
    cmdOk->setEnabled(isPlaceKey(item->data(0, kCategoryKeyRole).toString()));
    lblDescription->setText(m_texts.getText(descriptionKeyOf(item)));
}

void frmMove::selectCategory(const QString& key) {
    showNode(node(key));
}

void frmMove::showEvent(QShowEvent* event) {
    m_keyAtOpening = selectedKeyOfNode();
    QDialog::showEvent(event);
}

void frmMove::reject() {
    if (QTreeWidgetItem* before = node(m_keyAtOpening); before && !m_keyAtOpening.isEmpty()) {
        showNode(before);
        before->setSelected(true);
    } else {
        clearChoice();
    }
    QDialog::reject();
}

void frmMove::clearChoice() {
    tvwCategories->setCurrentItem(nullptr);
    tvwCategories->clearSelection();
    cmdOk->setEnabled(false);
    lblDescription->setText(m_texts.getText(QStringLiteral("NoDescription")));
}

QString frmMove::selectedKeyOfNode() const {
    const QTreeWidgetItem* item = tvwCategories->currentItem();
    return item && item->isSelected() ? item->data(0, kCategoryKeyRole).toString() : QString();
}

std::int32_t frmMove::selectedRoot() const {
    return entryPlaceOfCategory(m_system, selectedKeyOfNode()).root;
}

QString frmMove::selectedKey() const {
    return entryPlaceOfCategory(m_system, selectedKeyOfNode()).key;
}

QString frmMove::selectedNodePath() const {
    QStringList captions;
    const QTreeWidgetItem* selected = tvwCategories->currentItem();
    if (!selected || !selected->isSelected())
        return {};
    for (const QTreeWidgetItem* item = selected; item; item = item->parent())
        captions.prepend(item->text(0));
    return captions.join(QLatin1Char('\\'));
}

} // namespace sw
