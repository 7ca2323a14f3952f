// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "controlli/ControlliRefill.h"

#include "controlli/DlgPin.h"
#include "controlli/HostOperatore.h"
#include "controlli/Pin.h"
#include "documento/BuonoRefill.h"
#include "documento/RegistroRefill.h"
#include "entry/StatoModulo.h"
#include "form/Calcolatrice.h"
#include "form/Etichetta.h"
#include "form/FrmRefill.h"
#include "form/Letture.h"
#include "form/Messaggio.h"
#include "form/PulsanteGrafico.h"
#include "host/Errore.h"
#include "host/SqlTesti.h"

#include <QApplication>
#include <QEvent>
#include <QHash>

#include <cmath>

namespace KaloRefill {

namespace {
QString euro(const Valuta& v) { return QStringLiteral("€ ") + BuonoRefill::importoInCifre(v); }
Valuta assoluto(const Valuta& v) { return v.decimillesimi() < 0 ? Valuta() - v : v; }
} // namespace

ControlliRefill::ControlliRefill(FrmRefill& form, HostApplicationPtr host, const ImpostazioniControlli& impostazioni)
    : m_form(form), m_originale(host),
      m_host(std::make_shared<HostOperatore>(std::move(host), QString())), m_impostazioni(impostazioni) {
    m_inattivita.setObjectName(QStringLiteral("TimerInattivita"));
    m_inattivita.setSingleShot(true);
    m_inattivita.setInterval(m_impostazioni.minutiInattivita * 60 * 1000);
    connect(&m_inattivita, &QTimer::timeout, this, [this] { bloccaPerInattivita(); });
    if (m_impostazioni.minutiInattivita > 0)
        qApp->installEventFilter(this);
}

ControlliRefill::~ControlliRefill() = default;

HostApplication& ControlliRefill::host() { return *m_host; }

bool ControlliRefill::eventFilter(QObject* oggetto, QEvent* evento) {
    switch (evento->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::TouchBegin:
        if (!m_padAperto && m_inattivita.isActive())
            m_inattivita.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(oggetto, evento);
}

bool ControlliRefill::accedi(bool avvio) {
    m_padAperto = true;
    m_inattivita.stop();
    Operatori operatori(*m_originale);
    OperatoreRefill entrato;
    DlgPin pad(&m_form, QStringLiteral("Accesso operatore"),
               avvio ? QStringLiteral("Toccare il proprio nome e digitare il PIN.")
                     : QStringLiteral("Gestione Refill bloccata per inattività: toccare il proprio nome e digitare il PIN."),
               operatori.elenco(), [&](const QString& codice, const QString& pin, const QString&) {
                   const Operatori::Risposta r = operatori.verifica(codice, pin, QDateTime::currentDateTime());
                   if (r.esito == Operatori::Esito::Accettato)
                       entrato = r.operatore;
                   return r.messaggio;
               });
    pad.aggiungiAzione(QStringLiteral("CmdGestionePin"), QStringLiteral("Gestione PIN"), [this, &pad] { gestionePin(&pad); });
    if (!avvio)
        pad.senzaAnnulla();
    const bool accettato = pad.exec() == QDialog::Accepted && !entrato.codice.isEmpty();
    m_padAperto = false;
    if (accettato) {
        m_operatore = entrato;
        m_host->setOperatore(entrato.codice);
    }
    if (m_impostazioni.minutiInattivita > 0 && (accettato || !avvio))
        m_inattivita.start();
    return accettato;
}

void ControlliRefill::bloccaPerInattivita() {
    if (m_padAperto)
        return;
    // An open entry stays as it is: whoever signs in next finds it and saves it as himself.
    while (!accedi(false)) {
    }
}

void ControlliRefill::gestionePin(QWidget* parent) {
    Operatori operatori(*m_originale);
    const QList<OperatoreRefill> elenco = operatori.elenco();
    QList<OperatoreRefill> responsabili;
    for (const OperatoreRefill& o : elenco)
        if (o.responsabile())
            responsabili.append(o);
    // A hall where no responsabile has a PIN yet (a new hall, or its first responsabile
    // just named in "Anagrafiche"): he sets the first ones without one.
    const bool primoAvvio =
        std::none_of(responsabili.begin(), responsabili.end(), [](const OperatoreRefill& o) { return o.haPin; });
    if (responsabili.isEmpty()) {
        Messaggio::mostra(parent, QStringLiteral("Nessun operatore ha il ruolo di responsabile: assegnarlo a un "
                                                 "operatore in \"Anagrafiche\"."), Messaggio::Esclamativo,
                          QStringLiteral("Gestione PIN"));
        return;
    }
    DlgPin chi(parent, QStringLiteral("Gestione PIN"),
               primoAvvio ? QStringLiteral("Nessun responsabile ha ancora un PIN: il responsabile tocchi il proprio nome e "
                                           "confermi.")
                          : QStringLiteral("PIN di un responsabile:"),
               responsabili, [&](const QString& codice, const QString& pin, const QString&) {
                   if (primoAvvio)
                       return QString();
                   return operatori.verifica(codice, pin, QDateTime::currentDateTime()).messaggio;
               });
    if (chi.exec() != QDialog::Accepted)
        return;
    QString nuovo;
    DlgPin quale(parent, QStringLiteral("Gestione PIN"),
                 QStringLiteral("Toccare l'operatore e digitare il nuovo PIN (da 4 a 8 cifre)."), elenco,
                 [&](const QString&, const QString& pin, const QString&) {
                     nuovo = pin;
                     return Pin::valido(pin) ? QString() : QStringLiteral("Il PIN deve avere da 4 a 8 cifre.");
                 });
    if (quale.exec() != QDialog::Accepted)
        return;
    DlgPin ripeti(parent, QStringLiteral("Gestione PIN"), QStringLiteral("Digitare di nuovo il nuovo PIN."), elenco,
                  [&](const QString&, const QString& pin, const QString&) {
                      return pin == nuovo ? QString() : QStringLiteral("I due PIN non coincidono.");
                  });
    ripeti.fissaOperatore(quale.operatore());
    if (ripeti.exec() != QDialog::Accepted)
        return;
    operatori.impostaPin(quale.operatore(), nuovo, chi.operatore());
    Messaggio::mostra(parent, QStringLiteral("Nuovo PIN impostato per %1.").arg(quale.operatore()),
                      Messaggio::Informazione, QStringLiteral("Gestione PIN"));
}

std::optional<ControlliRefill::Autorizzazione> ControlliRefill::autorizza(const Valuta& previsto) {
    Autorizzazione a;
    a.previsto = previsto;
    const int indice = int(Letture::letturaIntera(m_form.Bottone->caption()));
    if (indice < 0 || indice >= FrmRefill::NumeroPulsanti)
        throw Errore::indiceNonValido();
    a.idScheda = m_form.CmdApparecchio[std::size_t(indice)]->tag().toLongLong();
    a.giornata = m_form.dataRegistrazione();
    RegistroRefill registro(*m_originale);
    const Valuta prima = registro.importoDelGiorno(a.giornata, a.idScheda);
    const Valuta differenza = a.previsto - prima;
    const bool diminuzione = differenza < Valuta();
    const bool serveResponsabile = assoluto(differenza) > m_impostazioni.sogliaResponsabile;
    if (!diminuzione && differenza <= m_impostazioni.sogliaTestimone)
        return a;

    Operatori operatori(*m_originale);
    QString richiesta = diminuzione
                            ? QStringLiteral("Diminuzione di %1 sull'apparecchio (da %2 a %3): servono il motivo e il "
                                             "PIN di un secondo operatore")
                            : QStringLiteral("Refill di %1 (da %2 a %3), oltre %4: serve il PIN di un secondo operatore");
    richiesta = richiesta.arg(euro(assoluto(differenza)), euro(prima), euro(a.previsto));
    if (!diminuzione)
        richiesta = richiesta.arg(euro(m_impostazioni.sogliaTestimone));
    if (serveResponsabile && !m_operatore.responsabile())
        richiesta += QStringLiteral(", responsabile (oltre %1)").arg(euro(m_impostazioni.sogliaResponsabile));
    richiesta += QLatin1Char('.');
    OperatoreRefill testimone;
    DlgPin pad(&m_form, QStringLiteral("Testimone"), richiesta, operatori.elenco(),
               [&](const QString& codice, const QString& pin, const QString&) -> QString {
                   if (codice.compare(m_operatore.codice, Qt::CaseInsensitive) == 0)
                       return QStringLiteral("Il testimone non può essere l'operatore che salva (%1): serve un "
                                             "secondo operatore.").arg(m_operatore.codice);
                   const Operatori::Risposta r = operatori.verifica(codice, pin, QDateTime::currentDateTime());
                   if (r.esito != Operatori::Esito::Accettato)
                       return r.messaggio;
                   if (serveResponsabile && !m_operatore.responsabile() && !r.operatore.responsabile())
                       return QStringLiteral("Oltre %1 il testimone deve essere un responsabile.")
                           .arg(euro(m_impostazioni.sogliaResponsabile));
                   testimone = r.operatore;
                   return {};
               });
    if (diminuzione)
        pad.chiediMotivo();
    if (pad.exec() != QDialog::Accepted || testimone.codice.isEmpty())
        return std::nullopt;
    a.testimone = testimone.codice;
    a.nomeTestimone = testimone.nomeCompleto();
    a.testimoneResponsabile = testimone.responsabile();
    a.motivo = pad.motivo();
    return a;
}

void ControlliRefill::primaDelSalvataggio(Autorizzazione& a) {
    a.prima = RegistroRefill(*m_originale).importoDelGiorno(a.giornata, a.idScheda);
}

void ControlliRefill::registra(Autorizzazione& a) {
    RegistroRefill registro(*m_originale);
    RigaRegistro& r = a.riga;
    r.dopo = registro.importoDelGiorno(a.giornata, a.idScheda);
    r.prima = a.prima;
    r.differenza = r.dopo - r.prima;
    // Another workstation may have changed the machine since the witness signed.
    const bool diminuzione = r.differenza < Valuta();
    const bool serveTestimone = diminuzione || r.differenza > m_impostazioni.sogliaTestimone;
    const bool serveResponsabile = assoluto(r.differenza) > m_impostazioni.sogliaResponsabile;
    if ((serveTestimone && a.testimone.isEmpty()) || (diminuzione && a.motivo.isEmpty()) ||
        (serveTestimone && serveResponsabile && !m_operatore.responsabile() && !a.testimoneResponsabile))
        throw Errore(CodiceErrore::ChiamataNonValida,
                     QStringLiteral("L'importo dell'apparecchio è cambiato da un'altra postazione: il salvataggio non "
                                    "è stato fatto. Premere di nuovo \"Salva\"."));

    const QDateTime adesso = QDateTime::currentDateTime();
    const RecordsetPtr locali = m_originale->openrecordset(SqlTesti::locali());
    r.codLocale = locali->RecordCount() > 0 ? locali->Field(QStringLiteral("Codlocale")).toString() : QString();
    r.anno = m_impostazioni.giornata(adesso).year();
    r.dataOra = adesso;
    r.giornata = a.giornata;
    r.idScheda = a.idScheda;
    const RecordsetPtr apparecchio = m_originale->openrecordset(
        QStringLiteral("select * from apparecchi where idscheda=") + QString::number(a.idScheda));
    if (apparecchio->RecordCount() > 0) {
        r.codiceInterno = apparecchio->Field(QStringLiteral("codiceinterno")).toString();
        r.nomeScheda = apparecchio->Field(QStringLiteral("Nomescheda")).toString();
        r.codiceAams = apparecchio->Field(QStringLiteral("codiceaams")).toString();
    }
    r.operatore = m_operatore.codice;
    r.testimone = a.testimone;
    r.motivo = diminuzione ? a.motivo : QString();
    if (diminuzione)
        registro.ultimaRigaPositiva(r.codLocale, r.idScheda, r.giornata, r.annoCorretto, r.numeroCorretto);
    registro.aggiungi(r);
}

QString ControlliRefill::cartellaBuoni(HostApplication& host) {
    const QString scelta = StatoModulo::istanza().cartellaBuoni;
    return scelta.isEmpty() ? host.Percorso() + QStringLiteral("buoni") : scelta;
}

QString ControlliRefill::emetti(BuonoRefill::Dati& dati, int copie, bool ristampa, QString& problema) {
    const RecordsetPtr locali = m_originale->openrecordset(SqlTesti::locali());
    if (locali->RecordCount() > 0)
        dati.sala = locali->Field(QStringLiteral("ragionesociale")).toString();
    const QString stampante = StatoModulo::istanza().stampanteBuoni;
    if (!stampante.isEmpty()) {
        try {
            BuonoRefill::stampa(dati, stampante, copie, m_impostazioni.rotolo80mm, ristampa);
            return {};
        } catch (const Errore& e) {
            problema = e.descrizione();
        }
    }
    return BuonoRefill::salvaPdf(dati, cartellaBuoni(*m_originale), copie, m_impostazioni.rotolo80mm, ristampa);
}

void ControlliRefill::dopoIlSalvataggio(const Autorizzazione& a) {
    if (a.riga.differenza <= Valuta() || a.riga.numero == 0)
        return;
    BuonoRefill::Dati dati{{}, a.riga, m_operatore.nomeCompleto(), a.nomeTestimone};
    QString problema;
    try {
        const QString dove = emetti(dati, m_impostazioni.copieBuono, false, problema);
        if (!problema.isEmpty())
            Messaggio::mostra(&m_form, QStringLiteral("Il buono %1 non è stato stampato: %2\nÈ stato salvato in %3.")
                                           .arg(a.riga.nome(), problema, dove), Messaggio::Esclamativo);
    } catch (const Errore& e) {
        Messaggio::mostra(&m_form, QStringLiteral("Il refill è salvato con il %1, ma il buono non è stato prodotto: %2")
                                       .arg(a.riga.nome(), e.descrizione()), Messaggio::Esclamativo);
    }
}

void ControlliRefill::ristampa(qint64 id) {
    QWidget* sopra = QApplication::activeWindow() ? QApplication::activeWindow() : &m_form;
    RegistroRefill registro(*m_originale);
    const RecordsetPtr giorno = m_originale->openrecordset(
        QStringLiteral("select giornata from RegistroRefill where id=") + QString::number(id));
    QList<qint64> chiavi;
    const QDate g = giorno->RecordCount() > 0 ? giorno->Field(QStringLiteral("giornata")).toDate() : QDate();
    const QList<RigaRegistro> righe = g.isValid() ? registro.leggi(g, g, &chiavi) : QList<RigaRegistro>();
    const qsizetype i = chiavi.indexOf(id);
    if (i < 0)
        throw Errore::database(QStringLiteral("La riga del registro scelta non c'è più."));
    const RigaRegistro& riga = righe.at(i);
    if (riga.differenza <= Valuta()) {
        Messaggio::mostra(sopra, QStringLiteral("Il %1 è una correzione di %2: solo un refill ha un buono da ristampare.")
                                     .arg(riga.nome(), euro(riga.differenza)), Messaggio::Esclamativo,
                          QStringLiteral("Ristampa buono"));
        return;
    }
    QHash<QString, QString> nomi;
    for (const OperatoreRefill& o : Operatori(*m_originale).elenco())
        nomi.insert(o.codice.toUpper(), o.nomeCompleto());
    const auto nome = [&nomi](const QString& codice) { return nomi.value(codice.toUpper(), codice); };
    BuonoRefill::Dati dati{{}, riga, nome(riga.operatore), nome(riga.testimone)};
    QString problema;
    const QString dove = emetti(dati, 1, true, problema);

    const QDateTime adesso = QDateTime::currentDateTime();
    const RecordsetPtr log = m_originale->openrecordset(SqlTesti::logVuoto());
    log->AddNew();
    log->SetField(QStringLiteral("iddata"), adesso);
    log->SetField(QStringLiteral("idoperatore"), m_operatore.codice);
    log->SetField(QStringLiteral("orario"), adesso.time());
    log->SetField(QStringLiteral("importo1"), QVariant::fromValue(riga.differenza));
    log->SetField(QStringLiteral("Descrizione"), QStringLiteral("Copia del buono %1 %2 - %3")
                                                     .arg(riga.codLocale, riga.nome(), riga.codiceInterno));
    log->SetField(QStringLiteral("operazione"), QStringLiteral("Ristampa buono"));
    log->Update();

    const QString esito = dove.isEmpty()
                              ? QStringLiteral("Copia del buono %1 inviata alla stampante %2.")
                                    .arg(riga.nome(), StatoModulo::istanza().stampanteBuoni)
                              : QStringLiteral("Copia del buono %1 salvata in %2.").arg(riga.nome(), dove);
    Messaggio::mostra(sopra,
                      problema.isEmpty() ? esito
                                         : QStringLiteral("La stampante non ha preso la copia: %1\n%2").arg(problema, esito),
                      problema.isEmpty() ? Messaggio::Informazione : Messaggio::Esclamativo,
                      QStringLiteral("Ristampa buono"));
}

} // namespace KaloRefill
