// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "documento/VerificaRegistro.h"

#include "documento/RegistroRefill.h"
#include "host/SqlTesti.h"

#include <QHash>
#include <QMap>

namespace KaloRefill {

namespace {
QString euro(const Valuta& v) { return QStringLiteral("€ ") + v.testo(); }
QString giorno(const QDate& d) { return d.toString(QStringLiteral("dd/MM/yyyy")); }
} // namespace

bool VerificaRegistro::nelPeriodo(const QDate& data) const {
    return (!m_dal.isValid() || data >= m_dal) && (!m_al.isValid() || data <= m_al);
}

QList<VerificaRegistro::Problema> VerificaRegistro::verifica() {
    QList<qint64> id;
    const QList<RigaRegistro> righe = RegistroRefill(m_host).leggi({}, {}, &id);
    QList<Problema> problemi;
    const auto segnala = [&](const RigaRegistro& r, const QString& testo) {
        if (nelPeriodo(r.giornata))
            problemi.append({r.codLocale, r.anno, r.numero, r.giornata, testo});
    };

    // The machine's latest row of each day: the next one starts from its amount.
    QHash<QString, qsizetype> ultimaPerApparecchio;
    QMap<std::pair<QDate, qint64>, Valuta> attesoNelDocumento;
    for (qsizetype i = 0; i < righe.size(); ++i) {
        const RigaRegistro& r = righe.at(i);
        const RigaRegistro* p = i > 0 && righe.at(i - 1).codLocale == r.codLocale ? &righe.at(i - 1) : nullptr;
        const QString dopoIl = p ? QStringLiteral(" (dopo il %1 del %2)").arg(p->nome(), giorno(p->giornata)) : QString();
        if (!p && r.numero != 1)
            segnala(r, QStringLiteral("il registro della sala comincia dal numero %1 invece che dall'1").arg(r.numero));
        else if (p && p->anno == r.anno && r.numero == p->numero)
            segnala(r, QStringLiteral("numero ripetuto"));
        else if (p && p->anno == r.anno && r.numero != p->numero + 1)
            segnala(r, r.numero == p->numero + 2
                           ? QStringLiteral("manca il numero %1%2").arg(p->numero + 1).arg(dopoIl)
                           : QStringLiteral("mancano i numeri da %1 a %2%3").arg(p->numero + 1).arg(r.numero - 1).arg(dopoIl));
        else if (p && p->anno != r.anno && r.numero != 1)
            segnala(r, QStringLiteral("il %1 comincia dal numero %2 invece che dall'1").arg(r.anno).arg(r.numero));
        if (p && id.at(i) < id.at(i - 1))
            segnala(r, QStringLiteral("scritto prima del %1: righe scambiate o inserite").arg(p->nome()));

        const QString impronta = r.calcolaImpronta(p ? p->impronta : QString());
        if (impronta != r.impronta)
            segnala(r, QStringLiteral("l'impronta registrata (%1…) non è quella dei dati della riga e del "
                                      "buono precedente (%2…): riga modificata, tolta o inserita")
                           .arg(r.impronta.left(12), impronta.left(12)));
        if (r.dopo - r.prima != r.differenza)
            segnala(r, QStringLiteral("differenza %1 invece di %2 (da %3 a %4)")
                           .arg(euro(r.differenza), euro(r.dopo - r.prima), euro(r.prima), euro(r.dopo)));

        const QString chiave = r.codLocale + QLatin1Char('|') + r.giornata.toString(Qt::ISODate) +
                               QLatin1Char('|') + QString::number(r.idScheda);
        const qsizetype precedente = ultimaPerApparecchio.value(chiave, -1);
        if (precedente >= 0 && righe.at(precedente).dopo != r.prima)
            segnala(r, QStringLiteral("parte da %1 ma il %2 aveva lasciato l'apparecchio %3 a %4")
                           .arg(euro(r.prima), righe.at(precedente).nome(), r.codiceInterno,
                                euro(righe.at(precedente).dopo)));
        ultimaPerApparecchio.insert(chiave, i);
        if (nelPeriodo(r.giornata))
            attesoNelDocumento[{r.giornata, r.idScheda}] = r.dopo;
    }

    // Each day's document against the register's net per machine.
    if (attesoNelDocumento.isEmpty())
        return problemi;
    QString periodo;
    if (m_dal.isValid())
        periodo += QStringLiteral(" and noteteste.dataregistrazione>=") + SqlTesti::dataSql(m_dal);
    if (m_al.isValid())
        periodo += QStringLiteral(" and noteteste.dataregistrazione<=") + SqlTesti::dataSql(m_al);
    QMap<std::pair<QDate, qint64>, Valuta> nelDocumento;
    const RecordsetPtr rs = m_host.openrecordset(
        QStringLiteral("select noteteste.dataregistrazione, noteincassi.linkscheda, noteincassi.refillgestore"
                       " from noteincassi inner join noteteste on noteincassi.idtesta = noteteste.id"
                       " where noteteste.codcausale='REF'") + periodo);
    for (; !rs->Eof(); rs->MoveNext()) {
        const QVariant v = rs->Field(QStringLiteral("refillgestore"));
        auto& somma = nelDocumento[{rs->Field(QStringLiteral("dataregistrazione")).toDate(),
                                    rs->Field(QStringLiteral("linkscheda")).toLongLong()}];
        somma = somma + (v.isNull() ? Valuta() : Valuta::daVariant(v));
    }
    for (auto it = attesoNelDocumento.cbegin(); it != attesoNelDocumento.cend(); ++it) {
        const Valuta documento = nelDocumento.value(it.key());
        if (documento == it.value())
            continue;
        // Named after the machine's latest row of the day.
        const RigaRegistro* ultima = nullptr;
        for (const RigaRegistro& r : righe)
            if (r.giornata == it.key().first && r.idScheda == it.key().second)
                ultima = &r;
        problemi.append({ultima->codLocale, ultima->anno, ultima->numero, it.key().first,
                         QStringLiteral("il documento del giorno ha %1 per l'apparecchio %2, il registro %3")
                             .arg(euro(documento), ultima->codiceInterno, euro(it.value()))});
    }
    return problemi;
}

QString VerificaRegistro::tabella(const QList<Problema>& problemi) {
    QString testo = QStringLiteral("Registro buoni:\n");
    for (const Problema& p : problemi)
        testo += QStringLiteral("  %1 %2  %3  %4\n")
                     .arg(p.codLocale, RigaRegistro::nome(p.anno, p.numero), giorno(p.data), p.descrizione);
    return testo;
}

} // namespace KaloRefill
