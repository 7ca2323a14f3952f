// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The list on paper and in files: preview, printer, PDF and CSV, each of what is shown.

#include "AnteprimaTocco.h"
#include "EsportazioneCsv.h"
#include "FinestraRicerca.h"
#include "ModelloRighe.h"
#include "ReportStampa.h"

#include <QDate>
#include <QDir>
#include <QStandardPaths>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace KaloRefill {

bool FinestraRicerca::esportaPdf(const QString& percorsoFile) {
    if (!statoVuoto().isEmpty())
        return false;
    return ReportStampa::esportaPdf(percorsoFile, contenuto()) > 0;
}

bool FinestraRicerca::esportaCsv(const QString& percorsoFile) {
    if (!statoVuoto().isEmpty())
        return false;
    return EsportazioneCsv::scrivi(percorsoFile, contenuto());
}

void FinestraRicerca::anteprima() {
    if (!ciSonoRighe())
        return;
    const TabellaTesto tabella = contenuto();
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setDocName(tabella.titolo);
    ReportStampa::preparaPagina(stampante, tabella);
    AnteprimaTocco::mostra(stampante, this,
                           QStringLiteral("Anteprima di stampa - %1").arg(tabella.titolo),
                           [&tabella](QPrinter* p) { ReportStampa::stampa(*p, tabella); });
}

void FinestraRicerca::stampa() {
    if (!ciSonoRighe())
        return;
    const TabellaTesto tabella = contenuto();
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setDocName(tabella.titolo);
    ReportStampa::preparaPagina(stampante, tabella);
    QPrintDialog finestra(&stampante, this);
    if (finestra.exec() != QDialog::Accepted)
        return;
    if (ReportStampa::stampa(stampante, tabella) == 0)
        segnalaErrore(QStringLiteral("Impossibile stampare l'elenco sulla stampante scelta."));
}

void FinestraRicerca::chiediPdf() {
    chiediFile(QStringLiteral("Esporta in PDF"), QStringLiteral("pdf"), QStringLiteral("Documenti PDF (*.pdf)"),
               [this](const QString& file) { return esportaPdf(file); });
}

void FinestraRicerca::chiediCsv() {
    chiediFile(QStringLiteral("Esporta per Excel"), QStringLiteral("csv"), QStringLiteral("File CSV (*.csv)"),
               [this](const QString& file) { return esportaCsv(file); });
}

void FinestraRicerca::chiediFile(const QString& titolo, const QString& estensione, const QString& filtro,
                                 const std::function<bool(const QString&)>& esporta) {
    if (!ciSonoRighe())
        return;
    QString file = QFileDialog::getSaveFileName(
        this, titolo, QDir(cartellaPredefinita()).filePath(nomeFilePredefinito(estensione)), filtro);
    if (file.isEmpty())
        return;
    if (!file.endsWith(QLatin1Char('.') + estensione, Qt::CaseInsensitive))
        file += QLatin1Char('.') + estensione;
    if (!esporta(file))
        segnalaErrore(
            QStringLiteral("Impossibile scrivere il file %1.").arg(QDir::toNativeSeparators(file)));
}

QString FinestraRicerca::cartellaPredefinita() const {
    // Where people look for what they saved: Documents/KaloRefill, made at the first export.
    const QString documenti = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString cartella = QDir(documenti).filePath(QStringLiteral("KaloRefill"));
    return QDir().mkpath(cartella) ? cartella : documenti;
}

QString FinestraRicerca::nomeFilePredefinito(const QString& estensione) const {
    // The day's report is named after its own day: every row carries it.
    if (m_impostazioni.modulo.compare(u"RefillGiorno", Qt::CaseInsensitive) == 0 &&
        m_colonnaRisposta >= 0 && m_modello->rowCount() > 0) {
        const QDate giorno = m_modello->valore(0, m_colonnaRisposta).toDate();
        if (giorno.isValid())
            return QStringLiteral("Refill_%1.%2").arg(giorno.toString(Qt::ISODate), estensione);
    }
    const QString lista =
        m_impostazioni.modulo.isEmpty() ? QStringLiteral("Elenco") : m_impostazioni.modulo;
    return QStringLiteral("%1_%2.%3")
        .arg(lista, QDate::currentDate().toString(Qt::ISODate), estensione);
}

void FinestraRicerca::segnalaErrore(const QString& testo) {
    QMessageBox::warning(this, windowTitle(), testo);
}

} // namespace KaloRefill
