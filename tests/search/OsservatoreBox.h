#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// Answers the message boxes a test provokes: watches for the active modal QMessageBox,
// records its text, title, icon and buttons, runs quandoAperto (to look at the state
// of things while the box is up) and presses its default button.
class OsservatoreBox : public QObject {
public:
    struct Box {
        QString testo;
        QString titolo;
        QMessageBox::Icon icona = QMessageBox::NoIcon;
        QStringList pulsanti;
    };

    OsservatoreBox();

    QList<Box> boxes;
    std::function<void()> quandoAperto;

private:
    QTimer m_timer;
};
