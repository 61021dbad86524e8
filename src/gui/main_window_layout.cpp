// Placing the main window's panels: the window's resize rule, the two splitters' layout handlers
// and the buttons that collapse and restore the panes. Lengths are in twips.
#include "controls/twips.h"
#include "main_window.h"
#include "rating_strip.h"
#include "splitter_panel.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <utility>

namespace sw {

namespace {
constexpr int kToolbarWidth = 1230;
constexpr int kMargin = 120;
constexpr int kTextTop = 840;
} // namespace

int frmMain::toPixelsX(int twips) const {
    return TwipScale(logicalDpiX(), logicalDpiY()).toPixelsX(twips);
}
int frmMain::toPixelsY(int twips) const {
    return TwipScale(logicalDpiX(), logicalDpiY()).toPixelsY(twips);
}
int frmMain::toTwipsX(int pixels) const {
    return roundHalfEven(pixels * 1440.0 / logicalDpiX());
}
int frmMain::toTwipsY(int pixels) const {
    return roundHalfEven(pixels * 1440.0 / logicalDpiY());
}

void frmMain::placeDesignedControls() {
    auto place = [this](QWidget* control, int left, int top, int width, int height) {
        control->setGeometry(toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height));
    };
    place(imgInfos, 0, 0, 360, 1230);
    place(picIcon, 480, 120, 480, 480);
    place(lblTitle, 1200, 120, 2535, 285);
    place(lblCompany, 1200, 480, 5055, 255);
    place(linSeparator, 360, 712, 99999 - 360, 15);
    place(txtInfo, 480, kTextTop, 8895, 1095);
    place(fraLink, 9480, kTextTop, 255, 1095);
    place(imgWeblink, 0, 0, 255, 255);
    place(lvwLinks, 9840, kTextTop, 2655, 1095);
    place(fraInformation, 0, 6120, 12615, 2055);
}

void frmMain::resizeToOpeningSize() {
    // Wide enough for every column of the list, the one saying when Wine starts an entry included.
    QSize size(toPixelsX(16500), toPixelsY(8490));
    // Never larger than the screen it opens on, leaving room for the frame and the title bar.
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 40));
    resize(size);
}

void frmMain::fitCategoryPane() {
    const QAbstractItemView* tree = tvwCategories;
    const int count = tvwCategories->fontMetrics().horizontalAdvance(QStringLiteral(" (999)"));
    const int needed = tree->sizeHintForColumn(0) + count + 2 * tvwCategories->frameWidth() +
                       tvwCategories->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // Taken up by the first layout with room for it: a splitter not yet shown has none to keep it.
    m_categoryPaneTwips = toTwipsX(std::min(needed, width() / 3));
    int position = SplitterPanel2->Position();
    splitterPanel2LayoutChanged(position);
}

void frmMain::attachSplitterControls() {
    SplitterPanel1->setControl1(SplitterPanel2);
    SplitterPanel1->setControl2(fraInformation);
    SplitterPanel2->setControl1(tvwCategories);
    SplitterPanel2->setControl2(lvwEntries);
}

void frmMain::detachSplitterControls() {
    SplitterPanel1->setControl1(nullptr);
    SplitterPanel1->setControl2(nullptr);
    SplitterPanel2->setControl1(nullptr);
    SplitterPanel2->setControl2(nullptr);
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    resizeControls();
}

void frmMain::resizeControls() {
    const int width = toTwipsX(this->width());
    const int height = toTwipsY(this->height());
    // The toolbar keeps to the right edge at full height; the splitter takes the rest.
    tlbMain->setGeometry(toPixelsX(width - kToolbarWidth), 0, toPixelsX(kToolbarWidth), this->height());
    // The read-only banner, while Wine runs, has a line of its own at the bottom.
    const int bannerHeight = lblReadOnly->isVisibleTo(this) ? lblReadOnly->sizeHint().height() : 0;
    if (bannerHeight > 0)
        lblReadOnly->setGeometry(0, this->height() - bannerHeight, tlbMain->x(), bannerHeight);
    const int splitterWidth = width - kToolbarWidth - 2 * kMargin;
    const int splitterHeight = height - 2 * kMargin - toTwipsY(bannerHeight);
    // A statement that cannot be carried out (a negative size) is skipped, as on a tiny window.
    if (splitterWidth > 0 && splitterHeight > 0)
        SplitterPanel1->setGeometry(toPixelsX(kMargin), toPixelsY(kMargin), toPixelsX(splitterWidth),
                                    toPixelsY(splitterHeight));
    // Beyond the far limit on purpose: the information panel ends at its minimum height.
    SplitterPanel1->setPosition(height - 200);
}

void frmMain::splitterPanel1LayoutChanged(int& /*position*/) {
    m_buttons.value(QStringLiteral("details"))->setChecked(SplitterPanel1->Snapped() != 2);
    const int frameWidth = toTwipsX(fraInformation->width());
    const int frameHeight = toTwipsY(fraInformation->height());
    const int infosWidth = toTwipsX(imgInfos->width());
    const int linksWidth = toTwipsX(lvwLinks->width());
    const int linkFrameWidth = toTwipsX(fraLink->width());

    imgInfos->resize(imgInfos->width(), fraInformation->height());
    imgBackground->move(fraInformation->width() - imgBackground->width(), imgBackground->y());
    const int textWidth = frameWidth - infosWidth - linksWidth - 180 - linkFrameWidth;
    const int textHeight = frameHeight - kTextTop;
    if (textWidth > 0 && textHeight > 0)
        txtInfo->setGeometry(toPixelsX(480), toPixelsY(kTextTop), toPixelsX(textWidth),
                             toPixelsY(textHeight));
    const int linksLeft = infosWidth + toTwipsX(txtInfo->width()) + linkFrameWidth + 180;
    if (textHeight > 0)
        lvwLinks->setGeometry(toPixelsX(linksLeft), toPixelsY(kTextTop), lvwLinks->width(),
                              toPixelsY(textHeight));
    fraLink->move(txtInfo->x() + txtInfo->width() + toPixelsX(30), fraLink->y());
    // The header labels grow with the panel so that long titles are not cut.
    const int labelWidth = frameWidth - 1200 - kMargin;
    lblTitle->resize(std::max(toPixelsX(2535), toPixelsX(labelWidth)), lblTitle->height());
    lblCompany->resize(std::max(toPixelsX(5055), toPixelsX(labelWidth)), lblCompany->height());
    linSeparator->resize(std::max(1, fraInformation->width() - linSeparator->x()), linSeparator->height());
}

void frmMain::splitterPanel2LayoutChanged(int& /*position*/) {
    if (m_categoryPaneTwips > 0 && toTwipsX(SplitterPanel2->width()) > 2 * m_categoryPaneTwips) {
        if (const int wanted = std::exchange(m_categoryPaneTwips, 0); wanted > SplitterPanel2->Position())
            SplitterPanel2->setPosition(wanted);
    }
    m_buttons.value(QStringLiteral("folderlist"))->setChecked(SplitterPanel2->Snapped() != 1);
}

void frmMain::toggleFolderList() {
    SplitterPanel2->setSnapped(m_buttons.value(QStringLiteral("folderlist"))->isChecked() ? 0 : 1);
}

void frmMain::toggleDetails() {
    SplitterPanel1->setSnapped(m_buttons.value(QStringLiteral("details"))->isChecked() ? 0 : 2);
}

} // namespace sw
