// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "controlli/DlgPin.h"

#include "form/Messaggio.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace KaloRefill {

namespace {
constexpr int Tocco = 56;

QPushButton* pulsante(QWidget* parent, const QString& nome, const QString& testo, int larghezza = Tocco) {
    auto* p = new QPushButton(testo, parent);
    p->setObjectName(nome);
    p->setMinimumSize(larghezza, Tocco);
    p->setFocusPolicy(Qt::NoFocus);
    QFont f = p->font();
    f.setPointSize(14);
    p->setFont(f);
    return p;
}
} // namespace

const QStringList& DlgPin::motivi() {
    static const QStringList elenco{QStringLiteral("errore di digitazione"), QStringLiteral("refill non eseguito"),
                                    QStringLiteral("apparecchio sbagliato"), QStringLiteral("altro")};
    return elenco;
}

DlgPin::DlgPin(QWidget* parent, const QString& titolo, const QString& richiesta, const QList<OperatoreRefill>& operatori,
               Controllo controllo)
    : QDialog(parent), m_controllo(std::move(controllo)) {
    setObjectName(QStringLiteral("DlgPin"));
    setWindowTitle(titolo);
    setModal(true);
    auto* colonna = new QVBoxLayout(this);

    m_richiesta = new QLabel(richiesta, this);
    m_richiesta->setObjectName(QStringLiteral("LabRichiesta"));
    m_richiesta->setWordWrap(true);
    QFont grande = m_richiesta->font();
    grande.setPointSize(14);
    m_richiesta->setFont(grande);
    colonna->addWidget(m_richiesta);

    // The operators, one large button each, four to a row.
    auto* nomi = new QWidget(this);
    nomi->setObjectName(QStringLiteral("FrmOperatori"));
    auto* griglia = new QGridLayout(nomi);
    m_operatori = new QButtonGroup(this);
    m_operatori->setExclusive(true);
    for (qsizetype i = 0; i < operatori.size(); ++i) {
        const OperatoreRefill& o = operatori.at(i);
        QString testo = o.nomeCompleto();
        testo.replace(QStringLiteral(" ("), QStringLiteral("\n("));
        QPushButton* p = pulsante(nomi, QStringLiteral("CmdOperatore_") + o.codice, testo, 150);
        p->setMinimumHeight(Tocco + 16);
        p->setCheckable(true);
        p->setProperty("codice", o.codice);
        m_operatori->addButton(p);
        griglia->addWidget(p, int(i / 4), int(i % 4));
    }
    connect(m_operatori, &QButtonGroup::buttonClicked, this,
            [this](QAbstractButton* b) { m_operatore = b->property("codice").toString(); });
    colonna->addWidget(nomi);

    m_riquadroMotivi = new QWidget(this);
    m_riquadroMotivi->setObjectName(QStringLiteral("FrmMotivi"));
    auto* righeMotivi = new QVBoxLayout(m_riquadroMotivi);
    auto* etichetta = new QLabel(QStringLiteral("Motivo della diminuzione:"), m_riquadroMotivi);
    righeMotivi->addWidget(etichetta);
    m_motivi = new QButtonGroup(this);
    auto* fila = new QHBoxLayout;
    for (qsizetype i = 0; i < motivi().size(); ++i) {
        QPushButton* p = pulsante(m_riquadroMotivi, QStringLiteral("OptMotivo_%1").arg(i), motivi().at(i), 150);
        p->setCheckable(true);
        m_motivi->addButton(p, int(i));
        fila->addWidget(p);
    }
    righeMotivi->addLayout(fila);
    m_altro = new QLineEdit(m_riquadroMotivi);
    m_altro->setObjectName(QStringLiteral("TxtAltroMotivo"));
    m_altro->setPlaceholderText(QStringLiteral("Motivo (per \"altro\")"));
    m_altro->setMinimumHeight(44);
    righeMotivi->addWidget(m_altro);
    m_riquadroMotivi->hide();
    colonna->addWidget(m_riquadroMotivi);

    m_pin = new QLineEdit(this);
    m_pin->setObjectName(QStringLiteral("TxtPin"));
    m_pin->setEchoMode(QLineEdit::Password);
    m_pin->setReadOnly(true);
    m_pin->setAlignment(Qt::AlignCenter);
    m_pin->setMinimumHeight(Tocco);
    m_pin->setFont(grande);
    m_pin->setFocusPolicy(Qt::NoFocus);
    colonna->addWidget(m_pin);

    auto* tastiera = new QGridLayout;
    const QStringList cifre{QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9"),
                            QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
                            QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    for (qsizetype i = 0; i < cifre.size(); ++i) {
        QPushButton* p = pulsante(this, QStringLiteral("CmdPin_") + cifre.at(i), cifre.at(i), 88);
        connect(p, &QPushButton::clicked, this, [this, c = cifre.at(i)] { tasto(c); });
        tastiera->addWidget(p, int(i / 3), int(i % 3));
    }
    QPushButton* cancella = pulsante(this, QStringLiteral("CmdPinCancella"), QStringLiteral("Cancella"), 88);
    connect(cancella, &QPushButton::clicked, this, [this] { m_pin->backspace(); });
    tastiera->addWidget(cancella, 3, 0);
    QPushButton* zero = pulsante(this, QStringLiteral("CmdPin_0"), QStringLiteral("0"), 88);
    connect(zero, &QPushButton::clicked, this, [this] { tasto(QStringLiteral("0")); });
    tastiera->addWidget(zero, 3, 1);
    QPushButton* ok = pulsante(this, QStringLiteral("CmdConferma"), QStringLiteral("Conferma"), 88);
    ok->setStyleSheet(QStringLiteral("background-color: rgb(0, 160, 0); color: white;"));
    connect(ok, &QPushButton::clicked, this, [this] { conferma(); });
    tastiera->addWidget(ok, 3, 2);
    auto* centro = new QHBoxLayout;
    centro->addStretch();
    centro->addLayout(tastiera);
    centro->addStretch();
    colonna->addLayout(centro);

    m_azioni = new QWidget(this);
    auto* piede = new QHBoxLayout(m_azioni);
    piede->addStretch();
    QPushButton* annulla = pulsante(m_azioni, QStringLiteral("CmdAnnullaPin"), QStringLiteral("Annulla"), 120);
    connect(annulla, &QPushButton::clicked, this, &QDialog::reject);
    piede->addWidget(annulla);
    m_annulla = annulla;
    colonna->addWidget(m_azioni);
}

void DlgPin::chiediMotivo() { m_riquadroMotivi->show(); }

void DlgPin::fissaOperatore(const QString& codice) {
    m_operatore = codice;
    for (QAbstractButton* b : m_operatori->buttons())
        b->setVisible(b->property("codice").toString() == codice);
    for (QAbstractButton* b : m_operatori->buttons())
        b->setChecked(b->property("codice").toString() == codice);
}

void DlgPin::aggiungiAzione(const QString& nomeOggetto, const QString& testo, std::function<void()> azione) {
    QPushButton* p = pulsante(m_azioni, nomeOggetto, testo, 160);
    connect(p, &QPushButton::clicked, this, [azione = std::move(azione)] { azione(); });
    static_cast<QHBoxLayout*>(m_azioni->layout())->insertWidget(0, p);
}

void DlgPin::senzaAnnulla() { m_annulla->hide(); }

QString DlgPin::pin() const { return m_pin->text(); }

QString DlgPin::motivo() const {
    if (m_riquadroMotivi->isHidden() || m_motivi->checkedId() < 0)
        return {};
    const int scelto = m_motivi->checkedId();
    if (scelto == int(motivi().size()) - 1) {
        const QString testo = m_altro->text().simplified();
        return testo.isEmpty() ? QString() : motivi().at(scelto) + QStringLiteral(": ") + testo;
    }
    return motivi().at(scelto);
}

void DlgPin::tasto(const QString& cifra) {
    if (m_pin->text().size() < 8)
        m_pin->setText(m_pin->text() + cifra);
}

void DlgPin::conferma() {
    QString rifiuto;
    if (m_operatore.isEmpty())
        rifiuto = QStringLiteral("Toccare il proprio nome prima di digitare il PIN.");
    else if (!m_riquadroMotivi->isHidden() && motivo().isEmpty())
        rifiuto = m_motivi->checkedId() == int(motivi().size()) - 1
                      ? QStringLiteral("Scrivere il motivo della diminuzione.")
                      : QStringLiteral("Una diminuzione richiede il motivo: sceglierlo dall'elenco.");
    else
        rifiuto = m_controllo(m_operatore, m_pin->text(), motivo());
    if (rifiuto.isEmpty()) {
        accept();
        return;
    }
    m_pin->clear();
    Messaggio::mostra(this, rifiuto, Messaggio::Esclamativo, windowTitle());
}

void DlgPin::keyPressEvent(QKeyEvent* evento) {
    const QString t = evento->text();
    if (t.size() == 1 && t.at(0).isDigit())
        tasto(t);
    else if (evento->key() == Qt::Key_Backspace)
        m_pin->backspace();
    else if (evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter)
        conferma();
    else if (evento->key() == Qt::Key_Escape && m_annulla->isVisible())
        reject();
}

} // namespace KaloRefill
