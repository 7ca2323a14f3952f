// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ArchivioAnagrafiche.h"

#include "host/Errore.h"
#include "host/HostApplication.h"

#include <QDateTime>
#include <QTime>

#include <algorithm>
#include <utility>

namespace KaloRefill {

namespace {

using Valori = QList<std::pair<QString, QString>>;

constexpr qint16 vero = -1;
constexpr qint16 falso = 0;

QString testo(const RecordsetPtr& rs, const char* campo) {
    return rs->Field(QString::fromLatin1(campo)).toString().trimmed();
}

bool acceso(const RecordsetPtr& rs, const char* campo) {
    return rs->Field(QString::fromLatin1(campo)).toInt() != 0;
}

// A text between quotes in a statement.
QString virgolette(QString valore) {
    return QLatin1Char('\'') + valore.replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

QString siNo(bool valore) {
    return valore ? QStringLiteral("sì") : QStringLiteral("no");
}

Valori valori(const Locale& l) {
    return {{QStringLiteral("Codice"), l.codice},
            {QStringLiteral("Nome"), l.nome},
            {QStringLiteral("Ragione sociale"), l.ragioneSociale}};
}

Valori valori(const Conti& c) {
    return {{QStringLiteral("CassaSalaGiochi"), c.cassaSalaGiochi},
            {QStringLiteral("CassaRefill"), c.cassaRefill}};
}

Valori valori(const Apparecchio& a) {
    return {{QStringLiteral("Codice"), a.codice},
            {QStringLiteral("Nome"), a.nome},
            {QStringLiteral("Mobile"), a.mobile},
            {QStringLiteral("Codice ADM"), a.codiceAdm},
            {QStringLiteral("Categoria"), a.categoria},
            {QStringLiteral("Tipo incasso"), QString::number(a.tipoIncasso)},
            {QStringLiteral("Ordine"), QString::number(a.ordine)},
            {QStringLiteral("In servizio"), siNo(a.inServizio)}};
}

Valori valori(const Operatore& o) {
    return {{QStringLiteral("Codice"), o.codice},
            {QStringLiteral("Nome"), o.nome},
            {QStringLiteral("Cognome"), o.cognome},
            {QStringLiteral("Ruolo"), o.ruolo},
            {QStringLiteral("Attivo"), siNo(o.attivo)}};
}

QString elenco(const Valori& v) {
    QStringList parti;
    for (const auto& [nome, valore] : v)
        parti.append(nome + QStringLiteral(": ") + valore);
    return parti.join(QStringLiteral("; "));
}

// The log's note: every value of a new or deleted row, only what changed otherwise.
QString differenze(const Valori& prima, const Valori& dopo) {
    if (prima.isEmpty())
        return QStringLiteral("Nuovo: ") + elenco(dopo);
    if (dopo.isEmpty())
        return QStringLiteral("Eliminato: ") + elenco(prima);
    QStringList parti;
    for (qsizetype i = 0; i < dopo.size(); ++i)
        if (prima.at(i).second != dopo.at(i).second)
            parti.append(QStringLiteral("%1: %2 -> %3")
                             .arg(dopo.at(i).first, prima.at(i).second, dopo.at(i).second));
    return parti.join(QStringLiteral("; "));
}

Errore rifiuto(const QString& motivo) {
    return Errore::database(motivo);
}

// Every change is one unit of work with its log row: both or neither.
class Unita {
public:
    explicit Unita(HostApplication& host) : m_unita(host.IniziaUnita()) {}
    void conferma() {
        if (m_unita)
            m_unita->Conferma();
    }

private:
    std::unique_ptr<UnitaDiLavoro> m_unita;
};

Apparecchio leggiApparecchio(const RecordsetPtr& rs) {
    Apparecchio a;
    a.id = rs->Field(QStringLiteral("id")).toLongLong();
    a.idscheda = rs->Field(QStringLiteral("idscheda")).toLongLong();
    a.codice = testo(rs, "codiceinterno");
    a.nome = testo(rs, "Nomescheda");
    a.mobile = testo(rs, "nomemobile");
    a.codiceAdm = testo(rs, "codiceaams");
    a.categoria = testo(rs, "categoria");
    a.tipoIncasso = rs->Field(QStringLiteral("tipologiaincasso")).toInt();
    a.ordine = rs->Field(QStringLiteral("ordineincasso")).toInt();
    a.inServizio = acceso(rs, "attiva");
    return a;
}

Operatore leggiOperatore(const RecordsetPtr& rs) {
    Operatore o;
    o.id = rs->Field(QStringLiteral("id")).toLongLong();
    o.codice = testo(rs, "codice");
    o.nome = testo(rs, "nome");
    o.cognome = testo(rs, "cognome");
    o.ruolo = testo(rs, "ruolo");
    if (o.ruolo.isEmpty())
        o.ruolo = QStringLiteral("operatore");
    o.attivo = acceso(rs, "attivo");
    return o;
}

template <typename Tipo, typename Lettura>
QList<Tipo> tutti(HostApplication& host, const QString& sql, Lettura leggi) {
    QList<Tipo> righe;
    const RecordsetPtr rs = host.openrecordset(sql);
    if (rs->RecordCount() == 0)
        return righe;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
        righe.append(leggi(rs));
    return righe;
}

// The row to write: the stored one, or a new one when id is 0.
RecordsetPtr riga(HostApplication& host, const char* tabella, qint64 id) {
    const RecordsetPtr rs = host.openrecordset(
        QStringLiteral("select * from %1 where id=%2")
            .arg(QLatin1StringView(tabella), QString::number(id == 0 ? -1 : id)));
    if (id == 0)
        rs->AddNew();
    else if (rs->RecordCount() == 0)
        throw rifiuto(QStringLiteral("La riga cercata non c'è più: un'altra cassa l'ha eliminata."));
    return rs;
}

} // namespace

void ArchivioAnagrafiche::registra(const QString& operazione, const QString& descrizione,
                                   const QString& note) {
    const RecordsetPtr rs = m_host.openrecordset(QStringLiteral("select * from LogOperazioni where id=-1"));
    rs->AddNew();
    rs->SetField(QStringLiteral("iddata"), QDateTime::currentDateTime());
    rs->SetField(QStringLiteral("idoperatore"), m_host.User());
    rs->SetField(QStringLiteral("orario"), QTime::currentTime());
    rs->SetField(QStringLiteral("Descrizione"), descrizione);
    rs->SetField(QStringLiteral("notevarie"), note);
    rs->SetField(QStringLiteral("operazione"), operazione);
    rs->Update();
}

bool ArchivioAnagrafiche::haRefill(const QString& condizioneRighe) {
    return m_host.openrecordset(QStringLiteral("select * from noteincassi where ") + condizioneRighe)
               ->RecordCount() > 0;
}

Locale ArchivioAnagrafiche::locale() {
    const RecordsetPtr rs = m_host.openrecordset(QStringLiteral("select * from anagraficalocali"));
    if (rs->RecordCount() == 0)
        return {};
    return {testo(rs, "Codlocale"), testo(rs, "nomelocale"), testo(rs, "ragionesociale")};
}

void ArchivioAnagrafiche::salvaLocale(const Locale& nuovo) {
    if (nuovo.codice.trimmed().isEmpty() || nuovo.nome.trimmed().isEmpty())
        throw rifiuto(QStringLiteral("Il codice e il nome del locale sono obbligatori."));
    Unita unita(m_host);
    const Locale prima = locale();
    const RecordsetPtr rs = m_host.openrecordset(QStringLiteral("select * from anagraficalocali"));
    if (rs->RecordCount() == 0) {
        rs->AddNew();
    } else if (prima.codice.compare(nuovo.codice.trimmed(), Qt::CaseInsensitive) != 0 &&
               m_host.openrecordset(QStringLiteral("select * from noteteste where Codlocale=") +
                                    virgolette(prima.codice))
                       ->RecordCount() > 0) {
        // The day totals and the summary find the refills by this code.
        throw rifiuto(QStringLiteral("Il codice del locale non si può cambiare: ci sono refill "
                                     "registrati con il codice %1.")
                          .arg(prima.codice));
    }
    rs->SetField(QStringLiteral("Codlocale"), nuovo.codice.trimmed());
    rs->SetField(QStringLiteral("nomelocale"), nuovo.nome.trimmed());
    rs->SetField(QStringLiteral("ragionesociale"), nuovo.ragioneSociale.trimmed());
    rs->Update();
    registra(QStringLiteral("Anagrafiche: locale"), nuovo.nome.trimmed(),
             differenze(prima.codice.isEmpty() ? Valori{} : valori(prima), valori(nuovo)));
    unita.conferma();
}

Conti ArchivioAnagrafiche::conti() {
    const RecordsetPtr rs = m_host.openrecordset(QStringLiteral("select * from TabAssociazioneConti"));
    if (rs->RecordCount() == 0)
        return {};
    return {testo(rs, "CassaSalaGiochi"), testo(rs, "CassaRefill")};
}

void ArchivioAnagrafiche::salvaConti(const Conti& nuovi) {
    if (nuovi.cassaSalaGiochi.trimmed().isEmpty() || nuovi.cassaRefill.trimmed().isEmpty())
        throw rifiuto(QStringLiteral("Indicare entrambi i conti: cassa della sala e cassa refill."));
    if (nuovi.cassaSalaGiochi.trimmed().compare(nuovi.cassaRefill.trimmed(), Qt::CaseInsensitive) == 0)
        throw rifiuto(QStringLiteral("La cassa della sala e la cassa refill devono essere due conti diversi."));
    Unita unita(m_host);
    const RecordsetPtr rs = m_host.openrecordset(QStringLiteral("select * from TabAssociazioneConti"));
    const bool nuovo = rs->RecordCount() == 0;
    const Conti prima = conti();
    if (nuovo)
        rs->AddNew();
    rs->SetField(QStringLiteral("CassaSalaGiochi"), nuovi.cassaSalaGiochi.trimmed());
    rs->SetField(QStringLiteral("CassaRefill"), nuovi.cassaRefill.trimmed());
    rs->Update();
    registra(QStringLiteral("Anagrafiche: associazione conti"), QStringLiteral("Conti"),
             differenze(nuovo ? Valori{} : valori(prima), valori(nuovi)));
    unita.conferma();
}

QList<Apparecchio> ArchivioAnagrafiche::apparecchi() {
    return tutti<Apparecchio>(m_host,
                              QStringLiteral("select * from apparecchi order by ordineincasso"),
                              leggiApparecchio);
}

QString ArchivioAnagrafiche::problemaApparecchio(const Apparecchio& a,
                                                 const QList<Apparecchio>& altri) {
    if (a.codice.trimmed().isEmpty())
        return QStringLiteral("manca il codice");
    if (a.nome.trimmed().isEmpty())
        return QStringLiteral("manca il nome");
    if (a.categoria != u"AWP" && a.categoria != u"VLT")
        return QStringLiteral("categoria \"%1\" non valida (AWP o VLT)").arg(a.categoria);
    if (a.tipoIncasso < 0 || a.ordine < 0)
        return QStringLiteral("tipo incasso e ordine non possono essere negativi");
    for (const Apparecchio& altro : altri) {
        if (altro.id != 0 && altro.id == a.id)
            continue;
        if (altro.codice.compare(a.codice.trimmed(), Qt::CaseInsensitive) == 0)
            return QStringLiteral("il codice %1 è già dell'apparecchio \"%2\"").arg(a.codice.trimmed(), altro.nome);
        if (!a.codiceAdm.trimmed().isEmpty() &&
            altro.codiceAdm.compare(a.codiceAdm.trimmed(), Qt::CaseInsensitive) == 0)
            return QStringLiteral("il codice ADM %1 è già dell'apparecchio \"%2\"")
                .arg(a.codiceAdm.trimmed(), altro.nome);
    }
    return {};
}

void ArchivioAnagrafiche::scriviApparecchio(const Apparecchio& prima, Apparecchio& dopo) {
    const RecordsetPtr rs = riga(m_host, "apparecchi", dopo.id);
    rs->SetField(QStringLiteral("idscheda"), dopo.idscheda);
    rs->SetField(QStringLiteral("Idapparecchio"), QString::number(dopo.idscheda));
    rs->SetField(QStringLiteral("codiceinterno"), dopo.codice);
    rs->SetField(QStringLiteral("Nomescheda"), dopo.nome);
    rs->SetField(QStringLiteral("nomemobile"), dopo.mobile);
    rs->SetField(QStringLiteral("codiceaams"), dopo.codiceAdm);
    rs->SetField(QStringLiteral("categoria"), dopo.categoria);
    rs->SetField(QStringLiteral("tipologiaincasso"), dopo.tipoIncasso);
    rs->SetField(QStringLiteral("ordineincasso"), dopo.ordine);
    rs->SetField(QStringLiteral("attiva"), dopo.inServizio ? vero : falso);
    rs->SetField(QStringLiteral("Codlocale"), locale().codice);
    rs->Update();
    const bool nuovo = dopo.id == 0;
    dopo.id = rs->Field(QStringLiteral("id")).toLongLong();
    registra(nuovo ? QStringLiteral("Anagrafiche: nuovo apparecchio")
                   : QStringLiteral("Anagrafiche: modifica apparecchio"),
             dopo.codice + QStringLiteral(" - ") + dopo.nome,
             differenze(nuovo ? Valori{} : valori(prima), valori(dopo)));
}

Apparecchio ArchivioAnagrafiche::salvaApparecchio(const Apparecchio& apparecchio) {
    Unita unita(m_host);
    const QList<Apparecchio> presenti = apparecchi();
    if (const QString problema = problemaApparecchio(apparecchio, presenti); !problema.isEmpty())
        throw rifiuto(QStringLiteral("Apparecchio non salvato: %1.").arg(problema));
    Apparecchio dopo = apparecchio;
    dopo.codice = dopo.codice.trimmed();
    dopo.nome = dopo.nome.trimmed();
    dopo.codiceAdm = dopo.codiceAdm.trimmed();
    Apparecchio prima;
    const auto trovato = std::find_if(presenti.cbegin(), presenti.cend(),
                                      [&](const Apparecchio& a) { return a.id == dopo.id; });
    if (dopo.id != 0 && trovato == presenti.cend())
        throw rifiuto(QStringLiteral("L'apparecchio non c'è più: un'altra cassa l'ha eliminato."));
    if (dopo.id != 0) {
        prima = *trovato;
        dopo.idscheda = prima.idscheda; // the refill rows point at it
    } else {
        qint64 massimo = 0;
        for (const Apparecchio& a : presenti)
            massimo = std::max(massimo, a.idscheda);
        dopo.idscheda = massimo + 1;
    }
    scriviApparecchio(prima, dopo);
    unita.conferma();
    return dopo;
}

void ArchivioAnagrafiche::aggiungiApparecchi(const QList<Apparecchio>& nuovi) {
    Unita unita(m_host);
    QList<Apparecchio> presenti = apparecchi();
    qint64 massimo = 0;
    for (const Apparecchio& a : presenti)
        massimo = std::max(massimo, a.idscheda);
    for (Apparecchio a : nuovi) {
        a.id = 0;
        if (const QString problema = problemaApparecchio(a, presenti); !problema.isEmpty())
            throw rifiuto(QStringLiteral("Apparecchio %1 non importato: %2; nessun apparecchio è stato importato.")
                              .arg(a.codice, problema));
        a.idscheda = ++massimo;
        scriviApparecchio({}, a);
        presenti.append(a);
    }
    unita.conferma();
}

void ArchivioAnagrafiche::eliminaApparecchio(qint64 id) {
    Unita unita(m_host);
    const QList<Apparecchio> presenti = apparecchi();
    const auto trovato = std::find_if(presenti.cbegin(), presenti.cend(),
                                      [id](const Apparecchio& a) { return a.id == id; });
    if (trovato == presenti.cend())
        return;
    if (haRefill(QStringLiteral("linkscheda=") + QString::number(trovato->idscheda)))
        throw rifiuto(QStringLiteral("L'apparecchio %1 ha dei refill registrati: non si può "
                                     "eliminare, solo mettere fuori servizio.")
                          .arg(trovato->codice));
    m_host.Execute(QStringLiteral("delete * from apparecchi where id=") + QString::number(id));
    registra(QStringLiteral("Anagrafiche: eliminazione apparecchio"),
             trovato->codice + QStringLiteral(" - ") + trovato->nome,
             differenze(valori(*trovato), {}));
    unita.conferma();
}

QList<Operatore> ArchivioAnagrafiche::operatori() {
    return tutti<Operatore>(m_host, QStringLiteral("select * from operatori order by codice"),
                            leggiOperatore);
}

Operatore ArchivioAnagrafiche::salvaOperatore(const Operatore& operatore) {
    Operatore dopo = operatore;
    dopo.codice = dopo.codice.trimmed();
    dopo.nome = dopo.nome.trimmed();
    dopo.cognome = dopo.cognome.trimmed();
    if (dopo.codice.isEmpty() || dopo.nome.isEmpty())
        throw rifiuto(QStringLiteral("Il codice e il nome dell'operatore sono obbligatori."));
    if (dopo.ruolo != u"operatore" && dopo.ruolo != u"responsabile")
        throw rifiuto(QStringLiteral("Il ruolo dev'essere operatore o responsabile."));
    Unita unita(m_host);
    const QList<Operatore> presenti = operatori();
    Operatore prima;
    for (const Operatore& o : presenti) {
        if (o.id == dopo.id) {
            prima = o;
            continue;
        }
        if (o.codice.compare(dopo.codice, Qt::CaseInsensitive) == 0)
            throw rifiuto(QStringLiteral("Il codice %1 è già dell'operatore %2.").arg(o.codice, o.nome));
    }
    if (dopo.id != 0 && prima.id == 0)
        throw rifiuto(QStringLiteral("L'operatore non c'è più: un'altra cassa l'ha eliminato."));
    // The refills keep the code they were saved with.
    if (prima.id != 0 && prima.codice.compare(dopo.codice, Qt::CaseInsensitive) != 0 &&
        haRefill(QStringLiteral("idoperatore=") + virgolette(prima.codice)))
        throw rifiuto(QStringLiteral("Il codice di %1 non si può cambiare: ha dei refill registrati.")
                          .arg(prima.nome));
    const RecordsetPtr rs = riga(m_host, "operatori", dopo.id);
    rs->SetField(QStringLiteral("codice"), dopo.codice);
    rs->SetField(QStringLiteral("nome"), dopo.nome);
    rs->SetField(QStringLiteral("cognome"), dopo.cognome);
    rs->SetField(QStringLiteral("ruolo"), dopo.ruolo);
    rs->SetField(QStringLiteral("attivo"), dopo.attivo ? vero : falso);
    rs->Update();
    const bool nuovo = dopo.id == 0;
    dopo.id = rs->Field(QStringLiteral("id")).toLongLong();
    registra(nuovo ? QStringLiteral("Anagrafiche: nuovo operatore")
                   : QStringLiteral("Anagrafiche: modifica operatore"),
             dopo.codice + QStringLiteral(" - ") + dopo.nome,
             differenze(nuovo ? Valori{} : valori(prima), valori(dopo)));
    unita.conferma();
    return dopo;
}

void ArchivioAnagrafiche::eliminaOperatore(qint64 id) {
    Unita unita(m_host);
    const QList<Operatore> presenti = operatori();
    const auto trovato = std::find_if(presenti.cbegin(), presenti.cend(),
                                      [id](const Operatore& o) { return o.id == id; });
    if (trovato == presenti.cend())
        return;
    if (haRefill(QStringLiteral("idoperatore=") + virgolette(trovato->codice)))
        throw rifiuto(QStringLiteral("L'operatore %1 ha dei refill registrati: non si può "
                                     "eliminare, solo togliere dal servizio.")
                          .arg(trovato->codice));
    m_host.Execute(QStringLiteral("delete * from operatori where id=") + QString::number(id));
    registra(QStringLiteral("Anagrafiche: eliminazione operatore"),
             trovato->codice + QStringLiteral(" - ") + trovato->nome,
             differenze(valori(*trovato), {}));
    unita.conferma();
}

QStringList ArchivioAnagrafiche::mancanze() {
    QStringList mancano;
    if (locale().codice.isEmpty())
        mancano.append(QStringLiteral("il locale (scheda Locale)"));
    const Conti c = conti();
    if (c.cassaSalaGiochi.isEmpty() || c.cassaRefill.isEmpty())
        mancano.append(QStringLiteral("i due conti (scheda Conti)"));
    const QList<Apparecchio> elenco = apparecchi();
    if (std::none_of(elenco.cbegin(), elenco.cend(), [](const Apparecchio& a) {
            return a.inServizio && a.tipoIncasso == 6;
        }))
        mancano.append(QStringLiteral("un apparecchio in servizio con incasso a refill (tipo incasso 6, scheda Apparecchi)"));
    return mancano;
}

} // namespace KaloRefill
