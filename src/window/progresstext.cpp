#include "progresstext.h"

#include "comforttexts.h"

QString progressText(const Practice::Progress &progress)
{
    using namespace comforttexts;
    if (progress.finished) {
        // French puts 0 and 1 in the singular.
        const QString &right = progress.inPlay > 1 ? progressRightMany : progressRightOne;
        const QString &wrong = progress.wrongOnce > 1 ? progressWrongMany : progressWrongOne;
        return progressDone.arg(right.arg(progress.inPlay), wrong.arg(progress.wrongOnce));
    }
    if (!progress.active)
        return {};
    QString text = progressCount.arg(progress.right).arg(progress.inPlay);
    if (progress.waiting > 0)
        text += progressWaiting.arg(progress.waiting);
    if (progress.secondPass)
        text += progressSecondPass;
    return text;
}
