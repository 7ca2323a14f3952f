// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "CalcoloRiepilogo.h"

#include "RegolaAllarme.h"
#include "host/SqlTesti.h"

#include <QHash>

#include <optional>

#include <algorithm>

namespace KaloRefill {

namespace {

QString testoSql(QString testo) {
    return QLatin1Char('\'') + testo.replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

// The join and the conditions every query of the summary shares.
QString daDove(const QString& codLocale, const QDate& dal, const QDate& al) {
    return QStringLiteral(" FROM NoteIncassi INNER JOIN NoteTeste ON NoteIncassi.IdTesta = "
                          "NoteTeste.id where NoteTeste.CodCausale = 'REF' And "
                          "NoteTeste.CodLocale = ") +
           testoSql(codLocale) + QStringLiteral(" And NoteIncassi.DataIncasso >= ") + SqlTesti::dataSql(dal) +
           QStringLiteral(" And NoteIncassi.DataIncasso <= ") + SqlTesti::dataSql(al);
}

// An amount as the log holds it: a number, or the keypad's text with its decimal comma.
std::optional<double> importoRegistro(const QVariant& valore) {
    if (valore.isNull())
        return std::nullopt;
    if (valore.metaType().id() != QMetaType::QString) {
        bool ok = false;
        const double numero = valore.toDouble(&ok);
        if (ok)
            return numero;
    }
    bool ok = false;
    const double numero =
        valore.toString().trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok ? std::optional<double>(numero) : std::nullopt;
}

// Grouped dates come back as dates from a typed column and as ISO text from an
// aggregate, depending on the engine.
QDate comeData(const QVariant& valore) {
    if (valore.metaType().id() == QMetaType::QDate)
        return valore.toDate();
    if (valore.metaType().id() == QMetaType::QDateTime)
        return valore.toDateTime().date();
    return QDate::fromString(valore.toString().left(10), Qt::ISODate);
}

Valuta comeValuta(const QVariant& valore) {
    return valore.isNull() ? Valuta() : Valuta::daVariant(valore);
}

QString testo(const RecordsetPtr& rs, const QString& campo) {
    return rs->Field(campo).toString();
}

} // namespace

QDate CalcoloRiepilogo::inizioStorico(const QDate& al) {
    return inizioUltimaSettimana(al).addDays(-7 * RegolaAllarme::settimaneStorico);
}

QString CalcoloRiepilogo::sqlPerApparecchio(const QString& codLocale, const QDate& dal,
                                            const QDate& al) {
    return QStringLiteral("SELECT NoteIncassi.LinkScheda, Count(NoteIncassi.RefillGestore) AS "
                          "NumeroRefill, Sum(NoteIncassi.RefillGestore) AS TotaleRefill, "
                          "Max(NoteIncassi.RefillGestore) AS MassimoRefill") +
           daDove(codLocale, dal, al) + QStringLiteral(" GROUP BY NoteIncassi.LinkScheda");
}

QString CalcoloRiepilogo::sqlPerGiorno(const QString& codLocale, const QDate& dal,
                                       const QDate& al) {
    return QStringLiteral("SELECT NoteIncassi.DataIncasso, Count(NoteIncassi.RefillGestore) AS "
                          "NumeroRefill, Sum(NoteIncassi.RefillGestore) AS TotaleRefill") +
           daDove(codLocale, dal, al) +
           QStringLiteral(" GROUP BY NoteIncassi.DataIncasso ORDER BY NoteIncassi.DataIncasso");
}

QString CalcoloRiepilogo::sqlRegistro(const QDate& dal, const QDate& al) {
    return QStringLiteral("select iddata, Descrizione, importo1, notevarie, operazione from "
                          "LogOperazioni where iddata >= ") +
           SqlTesti::dataSql(dal) + QStringLiteral(" And iddata < ") + SqlTesti::dataSql(al.addDays(1)) +
           QStringLiteral(" order by iddata, id");
}

QList<CalcoloRiepilogo::Refill> CalcoloRiepilogo::refillDelRegistro(const QDate& dal, const QDate& al,
                                                                  const QHash<QString, qint64>& perDescrizione,
                                                                  const QHash<QString, qint64>& perCodice) {
    QList<Refill> refill;
    // The amount each machine was last saved with on a day: the form's note of the value
    // before a change reads a field it never writes, so the log's own order tells it.
    QHash<std::pair<qint64, QDate>, double> ultimoSalvato;
    const RecordsetPtr rs = m_host.openrecordset(sqlRegistro(dal, al));
    for (; !rs->Eof(); rs->MoveNext()) {
        const QString operazione = testo(rs, QStringLiteral("operazione")).trimmed();
        const bool inserimento =
            operazione.compare(QLatin1String("Inserimento Refill"), Qt::CaseInsensitive) == 0;
        const bool modifica =
            operazione.compare(QLatin1String("Modifica Refill"), Qt::CaseInsensitive) == 0;
        if (!inserimento && !modifica)
            continue;
        const std::optional<double> nuovo = importoRegistro(rs->Field(QStringLiteral("importo1")));
        if (!nuovo)
            continue;
        // The log names the machine in a text: its whole description, else its code.
        const QString descrizione = testo(rs, QStringLiteral("Descrizione"));
        qint64 scheda = perDescrizione.value(descrizione.toLower(), 0);
        if (scheda == 0)
            scheda = perCodice.value(descrizione.section(QStringLiteral(" - "), 0, 0).toLower(), 0);
        if (scheda == 0)
            continue;
        const QDate giorno = comeData(rs->Field(QStringLiteral("iddata")));
        const std::pair<qint64, QDate> chiave{scheda, giorno};
        double prima = 0;
        if (const auto it = ultimoSalvato.constFind(chiave); it != ultimoSalvato.cend()) {
            prima = it.value();
        } else if (modifica) {
            const QString nota = testo(rs, QStringLiteral("notevarie"));
            prima = importoRegistro(nota.mid(nota.indexOf(QLatin1Char('=')) + 1)).value_or(0);
        }
        ultimoSalvato.insert(chiave, *nuovo);
        // A save that leaves the day's amount as it was, or lowers it, is a correction.
        if (*nuovo > prima)
            refill.append({scheda, giorno});
    }
    return refill;
}

QString CalcoloRiepilogo::codiceLocale() {
    const RecordsetPtr rs = m_host.openrecordset(QStringLiteral("select * from anagraficalocali"));
    return rs->RecordCount() > 0 ? testo(rs, QStringLiteral("Codlocale")) : QString();
}

Riepilogo CalcoloRiepilogo::calcola(const QDate& dal, const QDate& al, int soglia) {
    Riepilogo r;
    r.dal = dal;
    r.al = al;
    r.soglia = soglia;
    r.codLocale = codiceLocale();
    if (!dal.isValid() || !al.isValid() || dal > al)
        return r;

    // The machines, by the texts the log names them with.
    struct Macchina {
        qint64 idScheda;
        QString codice, nome, codiceAams, categoria;
    };
    QList<Macchina> macchine;
    QHash<QString, qint64> perDescrizione;
    QHash<QString, qint64> perCodice;
    {
        const RecordsetPtr rs =
            m_host.openrecordset(QStringLiteral("select * from apparecchi order by ordineincasso"));
        for (; !rs->Eof(); rs->MoveNext()) {
            const Macchina m{rs->Field(QStringLiteral("idscheda")).toLongLong(),
                             testo(rs, QStringLiteral("codiceinterno")),
                             testo(rs, QStringLiteral("Nomescheda")),
                             testo(rs, QStringLiteral("codiceaams")),
                             testo(rs, QStringLiteral("categoria"))};
            macchine.append(m);
            const QString trattino = QStringLiteral(" - ");
            perDescrizione.insert((m.codice + trattino + m.nome + trattino +
                                   testo(rs, QStringLiteral("nomemobile")) + trattino + m.codiceAams)
                                      .toLower(),
                                  m.idScheda);
            perCodice.insert(m.codice.toLower(), m.idScheda);
        }
    }

    // Money: every machine row of the period, decreases included, as the books have it.
    QHash<qint64, RiepilogoApparecchio> perScheda;
    {
        const RecordsetPtr rs = m_host.openrecordset(sqlPerApparecchio(r.codLocale, dal, al));
        // Sets open on their first row; an empty one is already at its end.
        for (; !rs->Eof(); rs->MoveNext()) {
            RiepilogoApparecchio a;
            a.idScheda = rs->Field(QStringLiteral("LinkScheda")).toLongLong();
            a.totale = comeValuta(rs->Field(QStringLiteral("TotaleRefill")));
            a.massimo = comeValuta(rs->Field(QStringLiteral("MassimoRefill")));
            perScheda.insert(a.idScheda, a);
        }
    }
    QHash<QDate, RiepilogoGiorno> perData;
    {
        const RecordsetPtr rs = m_host.openrecordset(sqlPerGiorno(r.codLocale, dal, al));
        for (; !rs->Eof(); rs->MoveNext()) {
            RiepilogoGiorno g;
            g.data = comeData(rs->Field(QStringLiteral("DataIncasso")));
            g.totale = comeValuta(rs->Field(QStringLiteral("TotaleRefill")));
            perData.insert(g.data, g);
        }
    }

    // Refills: every save that raised a machine's amount, from the log, over the period and
    // the 12 weeks before its last one (for the alert).
    const QDate inizioUltima = inizioUltimaSettimana(al);
    const QDate inizioLettura = std::min(dal, inizioStorico(al));
    QHash<qint64, QList<int>> settimane;
    for (const Refill& refill : refillDelRegistro(inizioLettura, al, perDescrizione, perCodice)) {
        if (refill.giorno >= dal && refill.giorno <= al) {
            auto it = perScheda.find(refill.idScheda);
            if (it == perScheda.end()) {
                RiepilogoApparecchio a;
                a.idScheda = refill.idScheda;
                it = perScheda.insert(refill.idScheda, a);
            }
            ++it->numero;
            it->ultimo = std::max(it->ultimo, refill.giorno);
            RiepilogoGiorno& g = perData[refill.giorno];
            g.data = refill.giorno;
            ++g.numero;
        }
        if (refill.giorno < inizioStorico(al))
            continue;
        const qint64 giorniPrima = refill.giorno.daysTo(inizioUltima);
        const qsizetype settimana = giorniPrima <= 0 ? 0 : (giorniPrima - 1) / 7 + 1;
        QList<int>& conteggi = settimane[refill.idScheda];
        if (conteggi.isEmpty())
            conteggi.fill(0, RegolaAllarme::settimaneStorico + 1);
        if (settimana < conteggi.size())
            ++conteggi[settimana];
    }
    QList<QDate> date = perData.keys();
    std::sort(date.begin(), date.end());
    for (const QDate& d : std::as_const(date))
        r.giorni.append(perData.value(d));
    if (perScheda.isEmpty())
        return r;

    const auto completa = [&](RiepilogoApparecchio a) {
        QList<int> conteggi = settimane.value(a.idScheda);
        if (conteggi.isEmpty())
            conteggi.fill(0, RegolaAllarme::settimaneStorico + 1);
        const auto esito = RegolaAllarme::valuta(conteggi.first(), conteggi.mid(1), soglia);
        a.allarme = esito.allarme;
        a.motivo = esito.motivo;
        r.apparecchi.append(a);
    };
    // Machines no longer in service keep their refills: the owners settle them too.
    for (const Macchina& m : std::as_const(macchine)) {
        auto it = perScheda.find(m.idScheda);
        if (it == perScheda.end())
            continue;
        RiepilogoApparecchio a = it.value();
        a.codice = m.codice;
        a.nome = m.nome;
        a.codiceAams = m.codiceAams;
        a.categoria = m.categoria;
        perScheda.erase(it);
        completa(a);
    }
    // Rows whose machine has left the table still count; they are named by their key.
    QList<qint64> orfani = perScheda.keys();
    std::sort(orfani.begin(), orfani.end());
    for (qint64 scheda : orfani) {
        RiepilogoApparecchio a = perScheda.value(scheda);
        a.codice = QString::number(scheda);
        a.nome = QStringLiteral("(apparecchio non in anagrafica)");
        completa(a);
    }
    return r;
}

} // namespace KaloRefill
