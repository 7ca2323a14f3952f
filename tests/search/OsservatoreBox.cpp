#include "OsservatoreBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

OsservatoreBox::OsservatoreBox() {
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        Box visto{box->text(), box->windowTitle(), box->icon(), {}};
        for (QAbstractButton* pulsante : box->buttons())
            visto.pulsanti << pulsante->text();
        boxes.append(visto);
        if (quandoAperto)
            quandoAperto();
        QAbstractButton* premere = box->defaultButton();
        if (!premere && !box->buttons().isEmpty())
            premere = box->buttons().first();
        if (premere)
            premere->click();
        else
            box->reject();
    });
    m_timer.start();
}
