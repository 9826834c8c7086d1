#pragma once

#include <QImage>
#include <QWidget>

// A white box that shows one picture read from a file, from its top-left corner at its own
// size, scaled down (aspect kept) when it is larger than the box.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    // Reads and shows the picture. Returns false, leaving the box white, when the file does
    // not decode as a picture. Large files are decoded at the size they can be shown at.
    bool showPicture(const QString &path);
    void clearPicture();
    const QImage &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};
