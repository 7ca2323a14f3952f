// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "FinestraBenvenuto.h"

#include "ConfigurazioneSala.h"
#include "DimensioniTocco.h"
#include "FinestraAnagrafiche.h"
#include "IndirizzoDatabase.h"
#include "host/Errore.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace KaloRefill {

namespace {

QPushButton* bottone(const char* nome, const QString& testo, QWidget* genitore) {
    auto* b = new QPushButton(testo, genitore);
    b->setObjectName(QLatin1String(nome));
    b->setAutoDefault(false);
    return b;
}

} // namespace

QString FinestraBenvenuto::fileSala(const QString& cartella) {
    return QDir(cartella).filePath(QStringLiteral("kalorefill-sala.db"));
}

FinestraBenvenuto::FinestraBenvenuto(const OpzioniHost& opzioni, const QString& percorsoDemo,
                                     QWidget* genitore)
    : QDialog(genitore), m_opzioni(opzioni), m_percorsoDemo(percorsoDemo) {
    setObjectName(QStringLiteral("FrmBenvenuto"));
    setWindowTitle(QStringLiteral("KaloRefill - Benvenuti"));
    auto* colonna = new QVBoxLayout(this);
    auto* titolo = new QLabel(QStringLiteral("<h2>Benvenuti in KaloRefill</h2>"
                                             "Dove si tengono i dati della sala?"), this);
    titolo->setObjectName(QStringLiteral("LabTitolo"));
    colonna->addWidget(titolo);

    auto* locale = new QGroupBox(QStringLiteral("Un database su questo computer (una cassa)"), this);
    locale->setObjectName(QStringLiteral("FrmDatabaseLocale"));
    auto* rigaLocale = new QHBoxLayout(locale);
    m_cartella = new QLineEdit(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), locale);
    m_cartella->setObjectName(QStringLiteral("txtCartella"));
    m_cartella->setToolTip(QStringLiteral("La cartella del database della sala"));
    auto* sfoglia = bottone("CmdSfoglia", QStringLiteral("Sfoglia…"), locale);
    auto* crea = bottone("CmdCreaDatabase", QStringLiteral("Crea il database della sala"), locale);
    rigaLocale->addWidget(m_cartella, 1);
    rigaLocale->addWidget(sfoglia);
    rigaLocale->addWidget(crea);
    colonna->addWidget(locale);

    auto* server = new QGroupBox(QStringLiteral("Un server PostgreSQL (più casse sugli stessi dati)"), this);
    server->setObjectName(QStringLiteral("FrmServer"));
    auto* rigaServer = new QHBoxLayout(server);
    m_server = new QLineEdit(server);
    m_server->setObjectName(QStringLiteral("txtServer"));
    m_server->setPlaceholderText(QStringLiteral("postgresql://cassa@server/sala"));
    auto* collega = bottone("CmdCollegaServer", QStringLiteral("Prova e usa il server"), server);
    rigaServer->addWidget(m_server, 1);
    rigaServer->addWidget(collega);
    colonna->addWidget(server);

    auto* demo = bottone("CmdDemo", QStringLiteral("Prova la sala dimostrativa"), this);
    colonna->addWidget(demo);

    m_esito = new QLabel(this);
    m_esito->setObjectName(QStringLiteral("LabEsito"));
    m_esito->setWordWrap(true);
    m_esito->setMinimumHeight(72);
    colonna->addWidget(m_esito, 1);

    auto* fondo = new QHBoxLayout;
    m_anagrafiche = bottone("CmdAnagrafiche", QStringLiteral("Anagrafiche"), this);
    m_apri = bottone("CmdApri", QStringLiteral("Apri la Gestione Refill"), this);
    auto* esci = bottone("CmdEsci", QStringLiteral("Esci"), this);
    m_anagrafiche->setEnabled(false);
    m_apri->setEnabled(false);
    fondo->addWidget(m_anagrafiche);
    fondo->addStretch(1);
    fondo->addWidget(esci);
    fondo->addWidget(m_apri);
    colonna->addLayout(fondo);

    connect(sfoglia, &QPushButton::clicked, this, [this] {
        const QString cartella = QFileDialog::getExistingDirectory(
            this, QStringLiteral("Cartella del database della sala"), m_cartella->text());
        if (!cartella.isEmpty())
            m_cartella->setText(cartella);
    });
    connect(crea, &QPushButton::clicked, this, &FinestraBenvenuto::creaDatabase);
    connect(collega, &QPushButton::clicked, this, &FinestraBenvenuto::collegaServer);
    connect(demo, &QPushButton::clicked, this, [this] {
        scegli(m_percorsoDemo, {});
        accept();
    });
    connect(m_anagrafiche, &QPushButton::clicked, this, &FinestraBenvenuto::apriAnagrafiche);
    connect(m_apri, &QPushButton::clicked, this, &QDialog::accept);
    connect(esci, &QPushButton::clicked, this, &QDialog::reject);
    DimensioniTocco::applica(this);
    resize(900, 600);
}

void FinestraBenvenuto::scegli(const QString& database, const QString& esito) {
    m_scelta = database;
    ConfigurazioneSala::setDatabase(database);
    m_esito->setText(esito);
    m_anagrafiche->setEnabled(true);
    m_apri->setEnabled(true);
    m_apri->setDefault(true);
}

void FinestraBenvenuto::creaDatabase() {
    const QString cartella = m_cartella->text().trimmed();
    if (cartella.isEmpty() || !QDir().mkpath(cartella)) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Impossibile usare la cartella \"%1\".").arg(cartella));
        return;
    }
    const QString file = QFileInfo(fileSala(cartella)).absoluteFilePath();
    try {
        if (QFileInfo::exists(file)) {
            // A hall's database made earlier is taken again, never replaced.
            DatabaseHost::apri(file, m_opzioni);
            scegli(file, QStringLiteral("In questa cartella c'è già il database della sala: "
                                        "si userà quello.\n%1").arg(QDir::toNativeSeparators(file)));
            return;
        }
        const auto host = DatabaseHost::crea(file, m_opzioni);
        // A new hall keeps its refills accountable from the first one.
        host->salvasettaggio(QStringLiteral("Refill"), QStringLiteral("Controlli"), 1);
    } catch (const Errore& e) {
        QMessageBox::warning(this, windowTitle(), e.descrizione());
        return;
    }
    scegli(file, QStringLiteral("Creato il database della sala:\n%1\nOra inserire con "
                                "\"Anagrafiche\" il locale, i conti, gli apparecchi e gli operatori.")
                     .arg(QDir::toNativeSeparators(file)));
}

void FinestraBenvenuto::collegaServer() {
    // Read once, as typed; the configuration keeps the text.
    const IndirizzoDatabase indirizzo(m_server->text().trimmed());
    const QString mostrato = indirizzo.mostrabile();
    try {
        try {
            DatabaseHost::apri(indirizzo, m_opzioni);
            scegli(indirizzo.testo(), QStringLiteral("Collegamento riuscito: si userà il database %1.").arg(mostrato));
            return;
        } catch (const Errore& e) {
            // An empty database made by the administrator for the hall: offered, not assumed.
            if (!e.descrizione().contains(QStringLiteral("è vuoto")))
                throw;
        }
        if (QMessageBox::question(this, windowTitle(),
                                  QStringLiteral("Il database %1 è vuoto. Crearvi le tabelle di "
                                                 "KaloRefill per questa sala?").arg(mostrato)) !=
            QMessageBox::Yes)
            return;
        const auto host = DatabaseHost::crea(indirizzo, m_opzioni);
        host->salvasettaggio(QStringLiteral("Refill"), QStringLiteral("Controlli"), 1);
        scegli(indirizzo.testo(), QStringLiteral("Creato il database della sala su %1. Ora inserire le "
                                         "anagrafiche.").arg(mostrato));
    } catch (const Errore& e) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Collegamento non riuscito: %1").arg(e.descrizione()));
    }
}

void FinestraBenvenuto::apriAnagrafiche() {
    try {
        auto* finestra = new FinestraAnagrafiche(DatabaseHost::apri(m_scelta, m_opzioni), this);
        // Gone when closed, and its connection to the database with it.
        connect(finestra, &QDialog::finished, finestra, &QObject::deleteLater);
        finestra->open();
    } catch (const Errore& e) {
        QMessageBox::warning(this, windowTitle(), e.descrizione());
    }
}

} // namespace KaloRefill
