#pragma once
// CPictureView: a window that shows a CPicture the program paints itself,
// such as the peak meter's. Present copies the picture's rows and repaints.
//
// Threads: user-interface thread.

#include <QImage>
#include <QWidget>

class CPicture;

class CPictureView : public QWidget {
public:
    explicit CPictureView(QWidget* parent = nullptr);

    /// Takes the picture's rows (and size) and repaints.
    void Present(const CPicture& picture);
    void PresentRows(const CPicture& picture, int first, int count);
    const QImage& GetBitmap() const { return bitmap; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage bitmap;
};
