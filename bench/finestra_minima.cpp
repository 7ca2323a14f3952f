// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The least a Qt Widgets program does before its first window is on screen: the yardstick
// for the refill program's start-up. Prints the moment of the first paint (CLOCK_MONOTONIC
// nanoseconds) and ends.
#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {
class PrimoDisegno final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override {
        if (m_visto || evento->type() != QEvent::Paint || !oggetto->isWidgetType())
            return false;
        m_visto = true;
        QTimer::singleShot(0, qApp, [] {
            timespec adesso{};
            clock_gettime(CLOCK_MONOTONIC, &adesso);
            std::printf("disegnato %lld\n",
                        static_cast<long long>(adesso.tv_sec) * 1000000000LL + adesso.tv_nsec);
            std::fflush(stdout);
            QApplication::quit();
        });
        return false;
    }

private:
    bool m_visto = false;
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.installEventFilter(new PrimoDisegno(&app));
    QLabel finestra(QStringLiteral("Finestra"));
    // The same surface to paint as the refill form, which opens maximised.
    finestra.showMaximized();
    return QApplication::exec();
}
