// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "AvvioSala.h"

#include "ArgomentiProgramma.h"
#include "ConfigurazioneSala.h"
#include "CopiaSicurezza.h"
#include "FinestraAnagrafiche.h"
#include "FinestraBenvenuto.h"
#include "host/Errore.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

namespace KaloRefill {

namespace {

void scrivi(std::FILE* flusso, const QString& testo) {
    std::fputs(testo.toLocal8Bit().constData(), flusso);
    std::fflush(flusso);
}

int fallisci(const QString& messaggio) {
    scrivi(stderr, QStringLiteral("kalorefill: ") + messaggio.simplified() + QLatin1Char('\n'));
    return 1;
}

} // namespace

QString AvvioSala::benvenuto(const ArgomentiProgramma& argomenti, const QString& percorsoDemo) {
    FinestraBenvenuto finestra(OpzioniHost{argomenti.data(), argomenti.utente(), {}}, percorsoDemo);
    return finestra.exec() == QDialog::Accepted ? finestra.scelta() : QString();
}

int AvvioSala::backup(const IndirizzoDatabase& database, const QString& destinazione) {
    try {
        const QString file = CopiaSicurezza::esegui(database, destinazione);
        scrivi(stdout, QStringLiteral("Copia di sicurezza scritta e controllata: %1\n")
                           .arg(QDir::toNativeSeparators(file)));
        return 0;
    } catch (const Errore& e) {
        return fallisci(QStringLiteral("copia di sicurezza non riuscita: %1").arg(e.descrizione()));
    }
}

int AvvioSala::ripristina(const IndirizzoDatabase& database, const QString& copia) {
    const QString titolo = QStringLiteral("Ripristino del database");
    const QString cartella = ConfigurazioneSala::cartellaCopie();
    if (QMessageBox::question(
            nullptr, titolo,
            QStringLiteral("Sostituire il database %1 con la copia %2?\n\nI dati registrati dopo "
                           "la copia andranno persi. Prima del ripristino il database attuale "
                           "viene salvato nella cartella %3.")
                .arg(database.mostrabile(), copia, QDir::toNativeSeparators(cartella)),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
        scrivi(stdout, QStringLiteral("Ripristino annullato: il database non è stato cambiato.\n"));
        return 1;
    }
    try {
        const QString prima = CopiaSicurezza::ripristina(database, copia, cartella);
        const QString fatto = QStringLiteral("Database ripristinato dalla copia %1. Il database "
                                             "com'era prima è salvato in %2.")
                                  .arg(copia, QDir::toNativeSeparators(prima));
        scrivi(stdout, fatto + QLatin1Char('\n'));
        QMessageBox::information(nullptr, titolo, fatto);
        return 0;
    } catch (const Errore& e) {
        QMessageBox::critical(nullptr, titolo, e.descrizione());
        return fallisci(QStringLiteral("ripristino non riuscito: %1").arg(e.descrizione()));
    }
}

int AvvioSala::anagrafiche(std::shared_ptr<DatabaseHost> host, const QString& fileCsv) {
    FinestraAnagrafiche finestra(std::move(host));
    // The preview goes over the window once that is on screen.
    if (!fileCsv.isEmpty())
        QTimer::singleShot(0, &finestra, [&finestra, fileCsv] { finestra.importaDaFile(fileCsv); });
    finestra.exec();
    return 0;
}

void AvvioSala::copiaGiornaliera(const IndirizzoDatabase& database, const QDate& giorno) {
    const QString cartella = ConfigurazioneSala::cartellaCopie();
    if (cartella.isEmpty())
        return;
    try {
        CopiaSicurezza::giornaliera(database, cartella, ConfigurazioneSala::copieDaTenere(), giorno);
    } catch (const Errore& e) {
        const QString testo = QStringLiteral("La copia di sicurezza di oggi non è riuscita: %1")
                                  .arg(e.descrizione());
        fallisci(testo);
        QMessageBox::warning(nullptr, QStringLiteral("Copia di sicurezza"),
                             testo + QStringLiteral("\n\nI refill si possono registrare lo stesso; "
                                                    "avvisare l'assistenza."));
    }
}

QString AvvioSala::ultimaCopia() {
    const QString cartella = ConfigurazioneSala::cartellaCopie();
    if (cartella.isEmpty())
        return {};
    // Copies are named by their moment, so the last name is the newest copy.
    QStringList copie = QDir(cartella).entryList({QStringLiteral("kalorefill_*")}, QDir::Files,
                                                 QDir::Name | QDir::Reversed);
    // A copy cut off while being written keeps its provisional name and is no copy.
    copie.removeIf([](const QString& nome) { return nome.endsWith(u".parziale"); });
    if (copie.isEmpty())
        return {};
    const QString file = QDir::toNativeSeparators(QDir(cartella).filePath(copie.constFirst()));
    return QStringLiteral("Ultima copia di sicurezza: %1 (kalorefill --ripristina %1).").arg(file);
}

} // namespace KaloRefill
