#include "titledbox.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStyle>

namespace {

// A title bar's icon and buttons, counted in title bar heights, with some room to spare.
constexpr int titleBarSquares = 6;

} // namespace

void makeRoomForTitle(QMessageBox &box)
{
    // Title bars are mostly drawn in a bold font somewhat like the window's.
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int wanted = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) +
                       titleBarSquares * box.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    // The box sizes itself from its layout: a spacer across its grid sets the least width.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
}
