// The start-up baseline: a plain Qt Widgets window with one Chinese label. With
// NIMBREL_REPORT_FIRST_FRAME=1 it writes "first frame" once its first paint has been processed,
// as Nimbrel's main window does.
#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <cstdio>

namespace {

class BareLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        if (m_report) {
            m_report = false;
            // Queued, so that the line follows the flush of the frame being painted.
            QTimer::singleShot(0, this, [] {
                std::fputs("first frame\n", stdout);
                std::fflush(stdout);
            });
        }
    }

private:
    bool m_report = qEnvironmentVariableIntValue("NIMBREL_REPORT_FIRST_FRAME") == 1;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    BareLabel label(QStringLiteral("你好"));
    label.show();
    return QApplication::exec();
}
