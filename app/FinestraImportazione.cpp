// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "FinestraImportazione.h"

#include "ArchivioAnagrafiche.h"
#include "DimensioniTocco.h"
#include "ImportazioneApparecchi.h"
#include "host/Errore.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace KaloRefill {

FinestraImportazione::FinestraImportazione(ArchivioAnagrafiche& archivio, const QString& percorso,
                                           QWidget* genitore)
    : QDialog(genitore) {
    setObjectName(QStringLiteral("FrmImportaApparecchi"));
    setWindowTitle(QStringLiteral("Importa apparecchi"));
    ImportazioneApparecchi::Esito esito;
    try {
        esito = ImportazioneApparecchi::leggiFile(percorso, archivio.apparecchi());
    } catch (const Errore& e) {
        esito.errore = e.descrizione();
    }
    auto* colonna = new QVBoxLayout(this);
    auto* riepilogo = new QLabel(this);
    riepilogo->setObjectName(QStringLiteral("LabRiepilogo"));
    riepilogo->setWordWrap(true);
    riepilogo->setText(!esito.errore.isEmpty()
                           ? esito.errore
                           : QStringLiteral("Dal file %1: %2 apparecchi da importare, %3 righe rifiutate.")
                                 .arg(percorso)
                                 .arg(esito.accettati.size())
                                 .arg(esito.rifiutati.size()));
    colonna->addWidget(riepilogo);
    auto* tabella = new QTableWidget(int(esito.accettati.size()), 7, this);
    tabella->setObjectName(QStringLiteral("LstAnteprima"));
    tabella->setHorizontalHeaderLabels({QStringLiteral("Codice"), QStringLiteral("Nome"),
                                        QStringLiteral("Mobile"), QStringLiteral("Codice ADM"),
                                        QStringLiteral("Categoria"), QStringLiteral("Ordine"),
                                        QStringLiteral("In servizio")});
    tabella->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabella->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    for (int r = 0; r < esito.accettati.size(); ++r) {
        const Apparecchio& a = esito.accettati.at(r);
        const QStringList celle{a.codice, a.nome, a.mobile, a.codiceAdm, a.categoria,
                                QString::number(a.ordine),
                                a.inServizio ? QStringLiteral("sì") : QStringLiteral("no")};
        for (int c = 0; c < celle.size(); ++c)
            tabella->setItem(r, c, new QTableWidgetItem(celle.at(c)));
    }
    colonna->addWidget(tabella, 2);
    auto* rifiutati = new QListWidget(this);
    rifiutati->setObjectName(QStringLiteral("LstRifiutati"));
    rifiutati->addItems(esito.rifiutati);
    rifiutati->setVisible(!esito.rifiutati.isEmpty());
    colonna->addWidget(rifiutati, 1);

    auto* comandi = new QHBoxLayout;
    auto* annulla = new QPushButton(QStringLiteral("Annulla"), this);
    annulla->setObjectName(QStringLiteral("CmdAnnulla"));
    auto* conferma = new QPushButton(QStringLiteral("Importa %1 apparecchi").arg(esito.accettati.size()), this);
    conferma->setObjectName(QStringLiteral("CmdConfermaImportazione"));
    conferma->setEnabled(!esito.accettati.isEmpty());
    comandi->addStretch(1);
    comandi->addWidget(annulla);
    comandi->addWidget(conferma);
    colonna->addLayout(comandi);
    connect(annulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(conferma, &QPushButton::clicked, this, [this, &archivio, accettati = esito.accettati] {
        try {
            archivio.aggiungiApparecchi(accettati);
        } catch (const Errore& e) {
            QMessageBox::warning(this, windowTitle(), e.descrizione());
            return;
        }
        accept();
    });
    DimensioniTocco::applica(this);
    resize(950, 600);
}

} // namespace KaloRefill
