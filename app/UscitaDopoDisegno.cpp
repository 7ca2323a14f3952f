#include "UscitaDopoDisegno.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace KaloRefill {

void UscitaDopoDisegno::installaSeRichiesto() {
    if (qEnvironmentVariableIsEmpty(variabile) || !qApp)
        return;
    qApp->installEventFilter(new UscitaDopoDisegno(qApp));
}

bool UscitaDopoDisegno::eventFilter(QObject* oggetto, QEvent* evento) {
    if (m_visto || evento->type() != QEvent::Paint || !oggetto->isWidgetType())
        return false;
    m_visto = true;
    // Queued: the rest of the window is painted and flushed in the same pass, before it.
    QTimer::singleShot(0, qApp, [] {
        timespec adesso{};
        clock_gettime(CLOCK_MONOTONIC, &adesso);
        std::printf("disegnato %lld\n",
                    static_cast<long long>(adesso.tv_sec) * 1000000000LL + adesso.tv_nsec);
        std::fflush(stdout);
        QApplication::closeAllWindows();
    });
    return false;
}

} // namespace KaloRefill
