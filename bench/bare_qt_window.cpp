// The floor for bench/first_paint: a bare Qt window that paints page-like ink
// (dark strokes on white) in its very first paint, so launching it measures Qt's
// own start-up and the first show, and nothing of a reader. The document named
// on the command line is only put in the caption.
#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {
class InkedWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setPen(QPen(Qt::black, 2));
        for (int y = 20; y < height(); y += 12)
            painter.drawLine(20, y, width() - 20, y); // lines of "text"
    }
};
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    InkedWindow window;
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("bare"));
    window.resize(1000, 700);
    window.show();
    return QApplication::exec();
}
