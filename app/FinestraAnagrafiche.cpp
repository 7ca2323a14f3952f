// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "FinestraAnagrafiche.h"

#include "DimensioniTocco.h"
#include "FinestraImportazione.h"
#include "SchedaApparecchi.h"
#include "SchedaOperatori.h"
#include "host/Errore.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace KaloRefill {

namespace {

QLineEdit* campo(const char* nome, const QString& valore, QWidget* genitore) {
    auto* c = new QLineEdit(valore, genitore);
    c->setObjectName(QLatin1String(nome));
    return c;
}

QPushButton* salva(const char* nome, QWidget* genitore) {
    auto* b = new QPushButton(QStringLiteral("Salva"), genitore);
    b->setObjectName(QLatin1String(nome));
    b->setAutoDefault(false);
    return b;
}

} // namespace

FinestraAnagrafiche::FinestraAnagrafiche(HostApplicationPtr host, QWidget* genitore)
    : QDialog(genitore), m_host(std::move(host)), m_archivio(*m_host) {
    setObjectName(QStringLiteral("FrmAnagrafiche"));
    setWindowTitle(QStringLiteral("Anagrafiche della sala"));
    auto* colonna = new QVBoxLayout(this);
    auto* schede = new QTabWidget(this);
    schede->setObjectName(QStringLiteral("TabAnagrafiche"));
    m_apparecchi = new SchedaApparecchi(*this);
    m_operatori = new SchedaOperatori(*this);
    schede->addTab(schedaLocale(), QStringLiteral("Locale"));
    schede->addTab(schedaConti(), QStringLiteral("Conti"));
    schede->addTab(m_apparecchi, QStringLiteral("Apparecchi"));
    schede->addTab(m_operatori, QStringLiteral("Operatori"));
    colonna->addWidget(schede, 1);
    auto* fondo = new QHBoxLayout;
    m_mancanze = new QLabel(this);
    m_mancanze->setObjectName(QStringLiteral("LabMancanze"));
    m_mancanze->setWordWrap(true);
    auto* chiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    chiudi->setObjectName(QStringLiteral("CmdChiudi"));
    chiudi->setAutoDefault(false);
    fondo->addWidget(m_mancanze, 1);
    fondo->addWidget(chiudi);
    colonna->addLayout(fondo);
    connect(chiudi, &QPushButton::clicked, this, &QDialog::accept);
    DimensioniTocco::applica(this);
    aggiornaMancanze();
    resize(1000, 700);
}

bool FinestraAnagrafiche::prova(const std::function<void()>& modifica) {
    try {
        modifica();
    } catch (const Errore& e) {
        QMessageBox::warning(this, windowTitle(), e.descrizione());
        return false;
    }
    aggiornaMancanze();
    return true;
}

void FinestraAnagrafiche::aggiornaMancanze() {
    if (!m_mancanze) // the tabs load before the line is made
        return;
    try {
        const QStringList mancano = m_archivio.mancanze();
        m_mancanze->setText(mancano.isEmpty()
                                ? QStringLiteral("La sala è pronta per il primo refill.")
                                : QStringLiteral("Per registrare i refill mancano: %1.")
                                      .arg(mancano.join(QStringLiteral("; "))));
    } catch (const Errore& e) {
        m_mancanze->setText(e.descrizione());
    }
}

QWidget* FinestraAnagrafiche::schedaLocale() {
    auto* scheda = new QWidget(this);
    scheda->setObjectName(QStringLiteral("SchedaLocale"));
    const Locale l = m_archivio.locale();
    auto* modulo = new QFormLayout(scheda);
    auto* codice = campo("txtCodiceLocale", l.codice, scheda);
    auto* nome = campo("txtNomeLocale", l.nome, scheda);
    auto* ragione = campo("txtRagioneSociale", l.ragioneSociale, scheda);
    modulo->addRow(QStringLiteral("Codice del locale"), codice);
    modulo->addRow(QStringLiteral("Nome"), nome);
    modulo->addRow(QStringLiteral("Ragione sociale"), ragione);
    auto* bottone = salva("CmdSalvaLocale", scheda);
    modulo->addRow(QString(), bottone);
    connect(bottone, &QPushButton::clicked, this, [this, codice, nome, ragione] {
        prova([&] { m_archivio.salvaLocale({codice->text(), nome->text(), ragione->text()}); });
    });
    return scheda;
}

QWidget* FinestraAnagrafiche::schedaConti() {
    auto* scheda = new QWidget(this);
    scheda->setObjectName(QStringLiteral("SchedaConti"));
    const Conti c = m_archivio.conti();
    auto* modulo = new QFormLayout(scheda);
    auto* sala = campo("txtCassaSalaGiochi", c.cassaSalaGiochi, scheda);
    auto* refill = campo("txtCassaRefill", c.cassaRefill, scheda);
    modulo->addRow(QStringLiteral("Conto della cassa sala giochi"), sala);
    modulo->addRow(QStringLiteral("Conto della cassa refill"), refill);
    auto* spiegazione = new QLabel(
        QStringLiteral("Ogni refill sposta l'importo dalla cassa della sala alla cassa refill."), scheda);
    spiegazione->setWordWrap(true);
    modulo->addRow(QString(), spiegazione);
    auto* bottone = salva("CmdSalvaConti", scheda);
    modulo->addRow(QString(), bottone);
    connect(bottone, &QPushButton::clicked, this, [this, sala, refill] {
        prova([&] { m_archivio.salvaConti({sala->text(), refill->text()}); });
    });
    return scheda;
}

void FinestraAnagrafiche::importaDaFile(const QString& percorso) {
    auto* anteprima = new FinestraImportazione(m_archivio, percorso, this);
    anteprima->setAttribute(Qt::WA_DeleteOnClose);
    connect(anteprima, &QDialog::accepted, this, [this] {
        m_apparecchi->ricarica();
        aggiornaMancanze();
    });
    anteprima->open();
}

} // namespace KaloRefill
