#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Lets a file be dropped on a window: a drag is accepted when it carries exactly one local file
// that is not a folder, and its path is told once the drop is over.
class FileDrop : public QObject
{
    Q_OBJECT

public:
    explicit FileDrop(QWidget &window);

signals:
    // Queued after the drop, so that what it opens may show a box once the drag has finished.
    void dropped(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
