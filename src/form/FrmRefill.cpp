// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/FrmRefill.h"

#include "controlli/ControlliRefill.h"
#include "entry/StatoModulo.h"
#include "form/Colori.h"
#include "form/Etichetta.h"
#include "form/Letture.h"
#include "form/Messaggio.h"
#include "form/Politica.h"
#include "form/PulsanteGrafico.h"
#include "form/TastiLettura.h"
#include "host/Errore.h"
#include "host/SqlTesti.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QScreen>

namespace KaloRefill {

FrmRefill::FrmRefill(QWidget* parent) : QWidget(parent, Qt::Window) {
    creaControlli();
    collegaEventi();
    installaAnteprimaTasti();
}

FrmRefill::~FrmRefill() = default;

HostApplication& FrmRefill::host() const {
    const HostApplicationPtr& applicazione = StatoModulo::istanza().applicazione;
    if (!applicazione)
        throw Errore::oggettoNonImpostato();
    if (m_controlli)
        return m_controlli->host();
    return *applicazione;
}

QDate FrmRefill::dataRegistrazione() const { return txtData->date(); }

void FrmRefill::impostaDataRegistrazione(const QDate& data) {
    m_dataDaCodice = true;
    txtData->setDate(data);
    m_dataDaCodice = false;
}

void FrmRefill::Form_Load() {
    // A damaged database already found is said before anything is read from it.
    mostraDanno();
    // Start-up ends quietly at the first failure; the form opens all the same.
    Politica::terminaInSilenzio([this] {
        impostaDataRegistrazione(host().Data());

        // Centred on the screen, then maximised when shown.
        if (const QScreen* schermo = screen()) {
            const QRect area = schermo->geometry();
            move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
        }
        setWindowState(windowState() | Qt::WindowMaximized);

        const RecordsetPtr rsLocali = host().openrecordset(SqlTesti::locali());
        if (rsLocali->RecordCount() == 0) {
            Messaggio::mostra(this,
                              QStringLiteral("Attenzione!! Bisogna aver impostato un locale prima di procedere.!"),
                              Messaggio::Critico);
            CodLocale = QStringLiteral("1");
        } else {
            CodLocale = rsLocali->Field(QStringLiteral("Codlocale"));
        }
        // Every key reaches the form before the focused control from here on.
        m_anteprimaTasti = true;

        LabOperazione->setCaption(QString());
        rsApparecchi = host().openrecordset(SqlTesti::apparecchiAttivi());
        CaricaPagina();

        const int apparecchi = rsApparecchi->RecordCount();
        const int pagine = apparecchi == 0 ? 1 : (apparecchi + NumeroPulsanti - 1) / NumeroPulsanti;
        LabStato->setCaption(QStringLiteral("Totale apparecchi  := ") + QString::number(apparecchi) +
                             QLatin1Char('\r') + QStringLiteral("Numero Pagine       := ") +
                             QString::number(pagine));

        TotaleGiornata();
        Scelta = AttivaTastiera(false);
        impostaValoreConferma(host().leggisettaggio(QStringLiteral("Refill"), QStringLiteral("Salvataggio"), 1));

        StatoModulo::istanza().rsAssociazioneConti = host().openrecordset(SqlTesti::associazioneConti());
        if (StatoModulo::istanza().rsAssociazioneConti->RecordCount() == 0)
            Messaggio::mostra(this,
                              QStringLiteral("Attenzione mancano le associazioni conti, effettuare una "
                                             "sincronizzazione con la sede prima di procedere."),
                              Messaggio::Critico, QStringLiteral("Attenzione!!"));
    });
    // Accountable refills, when the hall turned them on: business day and PIN pad.
    Politica::terminaInSilenzio([this] { avviaControlli(); });
}

// The check box's value as the setting keeps it: 0 not ticked, 1 ticked, 2 greyed.
qint16 FrmRefill::valoreConferma() const {
    switch (ChkConferma->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

// A stored 2 comes back greyed; the operator's clicks then only tick and untick (see
// collegaEventi).
void FrmRefill::impostaValoreConferma(qint16 valore) {
    ChkConferma->setTristate(valore == 2);
    ChkConferma->setCheckState(valore == 1 ? Qt::Checked : valore == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

void FrmRefill::mostra(bool modale) {
    setWindowModality(modale ? Qt::ApplicationModal : Qt::NonModal);
    if (windowState() & Qt::WindowMaximized) {
        // Without a window manager (kiosk sessions, Xvfb) nobody else would size the window.
        if (const QScreen* schermo = screen())
            setGeometry(schermo->availableGeometry());
        showMaximized();
    } else {
        show();
    }
    raise();
    activateWindow();
}

void FrmRefill::collegaEventi() {
    for (int i = 0; i < NumeroPulsanti; ++i)
        connect(CmdApparecchio[i], &QAbstractButton::clicked, this, [this, i] { CmdApparecchio_Click(i); });

    const auto tasto = [this](PulsanteGrafico* pulsante, QStringList tokens) {
        connect(pulsante, &QAbstractButton::clicked, this, [this, tokens] {
            for (const QString& token : tokens)
                PremiTasto(token);
        });
    };
    const QString uguale = QStringLiteral("=");
    tasto(Cmd, {uguale, QStringLiteral("/")});
    tasto(CmdPer, {uguale, QStringLiteral("X")});
    tasto(CmdMeno, {uguale, QStringLiteral("-")});
    tasto(CmdPiu, {uguale, QStringLiteral("+")});
    const std::array<PulsanteGrafico*, 10> cifre{Cmd0, Cmd1, Cmd2, Cmd3, Cmd4, Cmd5, Cmd6, Cmd7, Cmd8, Cmd9};
    for (int cifra = 0; cifra < 10; ++cifra)
        tasto(cifre[cifra], {QString::number(cifra)});
    tasto(Cmd00, {QStringLiteral("00")});
    tasto(cmdVirgola, {QStringLiteral(",")});
    tasto(CmdCanc, {QStringLiteral("canc")});
    tasto(CmdDel, {QStringLiteral("del")});
    tasto(CmdAnnulla, {uguale});
    tasto(CmdSalva, {QStringLiteral("Salva")});

    connect(CmdAvanti, &QAbstractButton::clicked, this, [this] { CmdAvanti_Click(); });
    connect(CmdDietro, &QAbstractButton::clicked, this, [this] { CmdDietro_Click(); });
    for (PulsanteGrafico* opzione : {Opt1, Opt2, Opt3})
        connect(opzione, &QAbstractButton::clicked, this, [this] { Opt_Click(); });
    connect(txtData, &QDateEdit::dateChanged, this, [this] {
        if (!m_dataDaCodice)
            Politica::segnalaErrore(this, [this] { txtData_Change(); });
    });
    // Greyed is a state the setting can hold, not one the operator picks: the first click
    // out of it ticks the box, and from then on clicks only tick and untick.
    connect(ChkConferma, &QCheckBox::clicked, this, [this] { ChkConferma->setTristate(false); });
    connect(CmdChiudi, &QAbstractButton::clicked, this,
            [this] { Politica::segnalaErrore(this, [this] { CmdChiudi_Click(); }); });
    connect(CmdTrova, &QAbstractButton::clicked, this, [this] { CmdTrova_Click(); });
    connect(CmdStampa, &QAbstractButton::clicked, this, [this] { CmdStampa_Click(); });
}

void FrmRefill::installaAnteprimaTasti() { qApp->installEventFilter(this); }

bool FrmRefill::eventFilter(QObject* oggetto, QEvent* evento) {
    const bool tastiera = evento->type() == QEvent::KeyPress || evento->type() == QEvent::KeyRelease;
    if (!tastiera || !m_anteprimaTasti || !RefillAperto)
        return QWidget::eventFilter(oggetto, evento);
    // A key event travels up from the focused control to its parents; take it once, when
    // it reaches the first receiver, and only for this form's own controls.
    auto* destinatario = qobject_cast<QWidget*>(oggetto);
    QWidget* fuoco = QApplication::focusWidget();
    const bool primoDestinatario = fuoco ? destinatario == fuoco : destinatario == this;
    if (!destinatario || destinatario->window() != this || !primoDestinatario)
        return QWidget::eventFilter(oggetto, evento);

    const auto* tasto = static_cast<QKeyEvent*>(evento);
    const bool invio = tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter;
    const int codice = TastiLettura::codiceVirtuale(*tasto);
    if (!invio && TastiLettura::tokenPerCodice(codice).isEmpty())
        return QWidget::eventFilter(oggetto, evento);
    // The form owns the keys it reads while an entry is open: a focused button must not
    // also react to Space or Enter.
    if (evento->type() == QEvent::KeyPress && invio)
        Form_KeyPress(13);
    else if (evento->type() == QEvent::KeyRelease && !tasto->isAutoRepeat() && !invio)
        Form_KeyUp(codice);
    return true;
}

void FrmRefill::resizeEvent(QResizeEvent* evento) {
    QWidget::resizeEvent(evento);
    Form_Resize();
    posizionaDanno();
}

void FrmRefill::hideEvent(QHideEvent* evento) {
    QWidget::hideEvent(evento);
    if (!evento->spontaneous())
        emit nascosto();
}

} // namespace KaloRefill
