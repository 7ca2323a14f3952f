// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// A workstation for the crash and race tests: the real form on a database file, saving
// through the keypad as an operator does. Prints "pronto" once the form is up and
// "salvato I" after save I has returned; with --via it waits for "via T" on standard
// input and makes its first save at the instant T, so several of them start at once. Any message box is printed
// on standard error as "messaggio: ..." and answered with its default button.
// --attesa MS: how long a save waits for another workstation's lock (30 s by default).
// --tieni MS: the first box after "pronto" stays open MS ms, as at an unattended desk.
// --riprova: a save that does not go through is pressed again until it does; each press
// prints "salva I INIZIO ESITO BOX" (start in ms since the epoch, 1 saved, boxes shown).
// --lento MS: the look-up of the day's header takes MS ms more.
#include "PianoSalvataggi.h"

#include "DatabaseHost.h"
#include "entry/StatoModulo.h"
#include "form/FrmRefill.h"
#include "form/PulsanteGrafico.h"
#include "HostRegistrato.h"
#include "RisponditorePin.h"

#include <QApplication>
#include <QDateEdit>
#include <QDateTime>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <iostream>
#include <string>

using namespace KaloRefill;

namespace {
void riga(std::FILE* flusso, const QString& testo) {
    std::fputs((testo + QLatin1Char('\n')).toUtf8().constData(), flusso);
    std::fflush(flusso);
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList a = QCoreApplication::arguments();
    if (a.size() < 8) {
        riga(stderr, QStringLiteral("uso: salvatore_prova DB AAAA-MM-GG PRIMO PASSO PER_GIORNO SEME "
                                    "QUANTI [--via] [--lento MS] [--pin CODICE PIN] [--buoni CARTELLA]"));
        return 2;
    }
    const PianoSalvataggi piano{QDate::fromString(a.at(2), Qt::ISODate), a.at(3).toInt(), a.at(4).toInt(),
                                a.at(5).toInt(), a.at(6).toInt()};
    const int quanti = a.at(7).toInt();
    const bool via = a.contains(QStringLiteral("--via"));
    // The argument `n` places after an option; empty when the option is not there.
    const auto opzione = [&a](const char* nome, int n = 1) {
        const qsizetype i = a.indexOf(QLatin1String(nome));
        return i > 0 && i + n < a.size() ? a.at(i + n) : QString();
    };

    // Four workstations saving at once wait for each other; none may give up.
    const QString attesa = opzione("--attesa");
    const OpzioniHost opzioni{piano.primaData, QStringLiteral("OP%1").arg(piano.primo), {},
                              attesa.isEmpty() ? 30000 : attesa.toInt()};
    const int tieni = opzione("--tieni").toInt();
    const bool riprova = a.contains(QStringLiteral("--riprova"));
    StatoModulo::istanza().applicazione = DatabaseHost::apri(a.at(1), opzioni);
    if (const int lento = opzione("--lento").toInt(); lento > 0) {
        // A slow workstation: the look-up of the day's header takes `lento` ms more, as over a
        // busy network, so that the window between "is there a header?" and the insert that
        // follows is wide enough for other workstations (or a server's crash) to fall into it.
        // The wait comes before the call after the look-up: its answer is in by then.
        auto lenta = std::make_shared<HostRegistrato>(StatoModulo::istanza().applicazione);
        lenta->armaPerditaUnita(0); // nothing fails; the saves keep their units
        lenta->allaChiamata = [h = lenta.get(), lento, dopoTestata = false](const QString& chiamata) mutable {
            if (dopoTestata)
                QThread::msleep(static_cast<unsigned long>(lento));
            dopoTestata = chiamata == QLatin1String("RecordCount") &&
                          h->sql.constLast().startsWith(QLatin1String("Select * from noteteste where codcausale='ref'"));
        };
        StatoModulo::istanza().applicazione = lenta;
    }

    // With the hall's controls on: the operator signs in with "--pin CODE PIN" and slips go
    // to "--buoni DIR".
    RisponditorePin accesso;
    if (!opzione("--pin", 2).isEmpty())
        accesso.rispondi({{opzione("--pin"), opzione("--pin", 2)}});
    StatoModulo::istanza().cartellaBuoni = opzione("--buoni");

    QTimer risponditore;
    risponditore.setInterval(5);
    bool salvataggiIniziati = false;
    qint64 tenutoDal = -1;
    int boxMostrati = 0;
    QObject::connect(&risponditore, &QTimer::timeout, &risponditore, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (tieni > 0 && salvataggiIniziati && tenutoDal != 0) {
            if (tenutoDal < 0) {
                tenutoDal = QDateTime::currentMSecsSinceEpoch();
                riga(stderr, QStringLiteral("messaggio: ") + box->text().simplified());
            }
            if (QDateTime::currentMSecsSinceEpoch() - tenutoDal < tieni)
                return;
            tenutoDal = 0;
        } else {
            riga(stderr, QStringLiteral("messaggio: ") + box->text().simplified());
        }
        ++boxMostrati;
        box->defaultButton() ? box->defaultButton()->click() : box->accept();
    });
    risponditore.start();

    auto form = std::make_unique<FrmRefill>();
    form->Form_Load();
    riga(stdout, QStringLiteral("pronto"));
    if (via) {
        // "via T": every workstation starts at the same instant T (ms since the epoch),
        // closer together than any pipe would wake them.
        std::string linea;
        std::getline(std::cin, linea);
        const qint64 istante = QString::fromStdString(linea).section(u' ', 1).toLongLong();
        while (QDateTime::currentMSecsSinceEpoch() < istante) {
        }
    }
    for (int i = 0; i < quanti; ++i) {
        if (form->txtData->date() != piano.data(i))
            form->txtData->setDate(piano.data(i));
        form->CmdApparecchio[static_cast<std::size_t>(piano.pulsante(i))]->click();
        for (const QChar c : piano.importo(i))
            form->PremiTasto(QString(c));
        salvataggiIniziati = true;
        do {
            const qint64 inizio = QDateTime::currentMSecsSinceEpoch();
            const int boxPrima = boxMostrati;
            form->CmdSalva->click();
            if (riprova)
                riga(stdout, QStringLiteral("salva %1 %2 %3 %4")
                                 .arg(i).arg(inizio).arg(form->RefillAperto == 0 ? 1 : 0).arg(boxMostrati - boxPrima));
            if (riprova && form->RefillAperto != 0)
                QThread::msleep(50);
        } while (riprova && form->RefillAperto != 0);
        riga(stdout, QStringLiteral("salvato %1").arg(i));
    }
    form.reset();
    StatoModulo::istanza().applicazione.reset();
    return 0;
}
