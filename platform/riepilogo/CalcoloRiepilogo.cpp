#include "CalcoloRiepilogo.h"

#include "RegolaAllarme.h"

#include <QHash>

#include <algorithm>

namespace KaloRefill {

namespace {

QString dataJet(const QDate& data) {
    return QLatin1Char('#') + data.toString(QStringLiteral("MM-dd-yyyy")) + QLatin1Char('#');
}

QString testoSql(QString testo) {
    return QLatin1Char('\'') + testo.replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

// The join and the conditions every query of the summary shares.
QString daDove(const QString& codLocale, const QDate& dal, const QDate& al) {
    return QStringLiteral(" FROM NoteIncassi INNER JOIN NoteTeste ON NoteIncassi.IdTesta = "
                          "NoteTeste.id where NoteTeste.CodCausale = 'REF' And "
                          "NoteTeste.CodLocale = ") +
           testoSql(codLocale) + QStringLiteral(" And NoteIncassi.DataIncasso >= ") + dataJet(dal) +
           QStringLiteral(" And NoteIncassi.DataIncasso <= ") + dataJet(al) +
           QStringLiteral(" And NoteIncassi.RefillGestore > 0");
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
                          "Max(NoteIncassi.RefillGestore) AS MassimoRefill, "
                          "Max(NoteIncassi.DataIncasso) AS UltimoRefill") +
           daDove(codLocale, dal, al) + QStringLiteral(" GROUP BY NoteIncassi.LinkScheda");
}

QString CalcoloRiepilogo::sqlPerGiorno(const QString& codLocale, const QDate& dal,
                                       const QDate& al) {
    return QStringLiteral("SELECT NoteIncassi.DataIncasso, Count(NoteIncassi.RefillGestore) AS "
                          "NumeroRefill, Sum(NoteIncassi.RefillGestore) AS TotaleRefill") +
           daDove(codLocale, dal, al) +
           QStringLiteral(" GROUP BY NoteIncassi.DataIncasso ORDER BY NoteIncassi.DataIncasso");
}

QString CalcoloRiepilogo::sqlFrequenza(const QString& codLocale, const QDate& dal,
                                       const QDate& al) {
    return QStringLiteral("SELECT NoteIncassi.LinkScheda, NoteIncassi.DataIncasso, "
                          "Count(NoteIncassi.RefillGestore) AS NumeroRefill") +
           daDove(codLocale, dal, al) +
           QStringLiteral(" GROUP BY NoteIncassi.LinkScheda, NoteIncassi.DataIncasso");
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

    QHash<qint64, RiepilogoApparecchio> perScheda;
    {
        const RecordsetPtr rs = m_host.openrecordset(sqlPerApparecchio(r.codLocale, dal, al));
        // Sets open on their first row; an empty one is already at its end.
        for (; !rs->Eof(); rs->MoveNext()) {
            RiepilogoApparecchio a;
            a.idScheda = rs->Field(QStringLiteral("LinkScheda")).toLongLong();
            a.numero = rs->Field(QStringLiteral("NumeroRefill")).toInt();
            a.totale = comeValuta(rs->Field(QStringLiteral("TotaleRefill")));
            a.massimo = comeValuta(rs->Field(QStringLiteral("MassimoRefill")));
            a.ultimo = comeData(rs->Field(QStringLiteral("UltimoRefill")));
            perScheda.insert(a.idScheda, a);
        }
    }
    if (perScheda.isEmpty())
        return r;

    {
        const RecordsetPtr rs = m_host.openrecordset(sqlPerGiorno(r.codLocale, dal, al));
        for (; !rs->Eof(); rs->MoveNext()) {
            RiepilogoGiorno g;
            g.data = comeData(rs->Field(QStringLiteral("DataIncasso")));
            g.numero = rs->Field(QStringLiteral("NumeroRefill")).toInt();
            g.totale = comeValuta(rs->Field(QStringLiteral("TotaleRefill")));
            r.giorni.append(g);
        }
    }

    // Refills per machine in the last week (index 0) and in each of the weeks before.
    const QDate inizioUltima = inizioUltimaSettimana(al);
    QHash<qint64, QList<int>> settimane;
    {
        const RecordsetPtr rs =
            m_host.openrecordset(sqlFrequenza(r.codLocale, inizioStorico(al), al));
        for (; !rs->Eof(); rs->MoveNext()) {
            const qint64 scheda = rs->Field(QStringLiteral("LinkScheda")).toLongLong();
            const QDate giorno = comeData(rs->Field(QStringLiteral("DataIncasso")));
            const qint64 giorniPrima = giorno.daysTo(inizioUltima);
            const qsizetype settimana = giorniPrima <= 0 ? 0 : (giorniPrima - 1) / 7 + 1;
            QList<int>& conteggi = settimane[scheda];
            if (conteggi.isEmpty())
                conteggi.fill(0, RegolaAllarme::settimaneStorico + 1);
            if (settimana < conteggi.size())
                conteggi[settimana] += rs->Field(QStringLiteral("NumeroRefill")).toInt();
        }
    }

    // Machines no longer in service keep their refills: the owners settle them too.
    const RecordsetPtr macchine =
        m_host.openrecordset(QStringLiteral("select * from apparecchi order by ordineincasso"));
    const auto completa = [&](RiepilogoApparecchio a) {
        QList<int> conteggi = settimane.value(a.idScheda);
        if (conteggi.isEmpty())
            conteggi.fill(0, RegolaAllarme::settimaneStorico + 1);
        const auto esito = RegolaAllarme::valuta(conteggi.first(), conteggi.mid(1), soglia);
        a.allarme = esito.allarme;
        a.motivo = esito.motivo;
        r.apparecchi.append(a);
    };
    for (; !macchine->Eof(); macchine->MoveNext()) {
        const qint64 scheda = macchine->Field(QStringLiteral("idscheda")).toLongLong();
        auto it = perScheda.find(scheda);
        if (it == perScheda.end())
            continue;
        RiepilogoApparecchio a = it.value();
        a.codice = testo(macchine, QStringLiteral("codiceinterno"));
        a.nome = testo(macchine, QStringLiteral("Nomescheda"));
        a.codiceAams = testo(macchine, QStringLiteral("codiceaams"));
        a.categoria = testo(macchine, QStringLiteral("categoria"));
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
