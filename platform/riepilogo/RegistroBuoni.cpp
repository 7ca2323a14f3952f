// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "RegistroBuoni.h"

#include "documento/BuonoRefill.h"
#include "documento/RegistroRefill.h"
#include "entry/Configura.h"

#include <QPagedPaintDevice>
#include <QSet>
#include <QTextDocument>

namespace KaloRefill {

namespace {
QString giorno(const QDate& d) { return d.toString(QStringLiteral("dd/MM/yyyy")); }
QString cifre(const Valuta& v) { return BuonoRefill::importoInCifre(v); }
QString chiave(const QString& locale, int anno, qint64 numero) {
    return locale + QLatin1Char('|') + QString::number(anno) + QLatin1Char('|') + QString::number(numero);
}
QString esc(const QString& t) { return t.toHtmlEscaped(); }
} // namespace

RegistroBuoni::RegistroBuoni(HostApplication& host, const QDate& dal, const QDate& al) : m_dal(dal), m_al(al) {
    // The whole register, for the numbers around the period and the rows that correct.
    const QList<RigaRegistro> tutte = RegistroRefill(host).leggi({}, {});
    QSet<QString> corrette;
    for (const RigaRegistro& r : tutte)
        if (r.numeroCorretto != 0)
            corrette.insert(chiave(r.codLocale, r.annoCorretto, r.numeroCorretto));
    QSet<QString> anniDelPeriodo;
    for (const RigaRegistro& r : tutte) {
        if ((dal.isValid() && r.giornata < dal) || (al.isValid() && r.giornata > al))
            continue;
        anniDelPeriodo.insert(r.codLocale + QLatin1Char('|') + QString::number(r.anno));
        QString stato = QStringLiteral("valido");
        if (r.numeroCorretto != 0 || r.differenza < Valuta())
            stato = QStringLiteral("correzione");
        else if (corrette.contains(chiave(r.codLocale, r.anno, r.numero)))
            stato = QStringLiteral("corretto");
        m_voci.append({r, stato});
        Totale& o = m_perOperatore[r.operatore];
        ++o.buoni;
        o.importo = o.importo + r.differenza;
        if (!r.testimone.isEmpty()) {
            Totale& t = m_perTestimone[r.testimone];
            ++t.buoni;
            t.importo = t.importo + r.differenza;
        }
    }
    // Missing numbers of every sequence the period touches.
    const RigaRegistro* prima = nullptr;
    for (const RigaRegistro& r : tutte) {
        const bool stessa = prima && prima->codLocale == r.codLocale && prima->anno == r.anno;
        const qint64 atteso = stessa ? prima->numero + 1 : 1;
        if (r.numero > atteso && anniDelPeriodo.contains(r.codLocale + QLatin1Char('|') + QString::number(r.anno)))
            m_lacune.append({r.codLocale, r.anno, atteso, r.numero - 1});
        prima = &r;
    }
}

QString RegistroBuoni::periodo() const {
    if (!m_dal.isValid() && !m_al.isValid())
        return QStringLiteral("tutto il registro");
    return QStringLiteral("dal %1 al %2").arg(m_dal.isValid() ? giorno(m_dal) : QStringLiteral("primo buono"),
                                              m_al.isValid() ? giorno(m_al) : QStringLiteral("ultimo buono"));
}

QString RegistroBuoni::intestazione(const QDateTime& stampato) const {
    return QStringLiteral("Periodo: %1 - stampato il %2 - KaloRefill %3")
        .arg(periodo(), stampato.toString(QStringLiteral("dd/MM/yyyy HH:mm")), Configura().Ver());
}

QString RegistroBuoni::csv(const QDateTime& stampato) const {
    QStringList righe{titolo(), intestazione(stampato),
                      QStringLiteral("Sala;Numero;Anno;Data e ora;Giornata;Apparecchio;Nome;Codice ADM;Prima;Dopo;"
                                     "Differenza;Operatore;Testimone;Stato;Corregge;Motivo")};
    const auto campo = [](QString t) {
        return t.contains(QLatin1Char(';')) || t.contains(QLatin1Char('"'))
                   ? QLatin1Char('"') + t.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"')
                   : t;
    };
    for (const Voce& v : m_voci) {
        const RigaRegistro& r = v.riga;
        righe << QStringList{campo(r.codLocale), QString::number(r.numero), QString::number(r.anno),
                             r.dataOra.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")), giorno(r.giornata),
                             campo(r.codiceInterno), campo(r.nomeScheda), campo(r.codiceAams),
                             r.prima.testo(), r.dopo.testo(), r.differenza.testo(), campo(r.operatore),
                             campo(r.testimone), v.stato,
                             r.numeroCorretto ? RigaRegistro::nome(r.annoCorretto, r.numeroCorretto) : QString(),
                             campo(r.motivo)}
                     .join(QLatin1Char(';'));
    }
    for (const Lacuna& l : m_lacune)
        righe << QStringLiteral("%1;mancano;%2;da %3 a %4").arg(l.codLocale).arg(l.anno).arg(l.da).arg(l.a);
    return righe.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QString RegistroBuoni::html(const QDateTime& stampato) const {
    QString t = QStringLiteral("<html><body style=\"font-family: 'DejaVu Sans'; font-size: 8pt\">"
                               "<h2>%1</h2><p>%2</p>")
                    .arg(titolo(), esc(intestazione(stampato)));
    t += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\"><tr>"
                        "<th>Numero</th><th>Data e ora</th><th>Apparecchio</th><th>Prima</th><th>Dopo</th>"
                        "<th>Differenza</th><th>Operatore</th><th>Testimone</th><th>Stato</th></tr>");
    for (const Voce& v : m_voci) {
        const RigaRegistro& r = v.riga;
        t += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td align=\"right\">%4</td><td align=\"right\">%5"
                            "</td><td align=\"right\">%6</td><td>%7</td><td>%8</td><td>%9</td></tr>")
                 .arg(esc(r.nome()), r.dataOra.toString(QStringLiteral("dd/MM/yyyy HH:mm")),
                      esc(r.codiceInterno + QStringLiteral(" - ") + r.nomeScheda), cifre(r.prima), cifre(r.dopo),
                      cifre(r.differenza), esc(r.operatore), esc(r.testimone), v.stato);
    }
    t += QStringLiteral("</table><h3>Numeri mancanti</h3>");
    if (m_lacune.isEmpty())
        t += QStringLiteral("<p>Nessuno: la numerazione è completa.</p>");
    for (const Lacuna& l : m_lacune)
        t += QStringLiteral("<p><b>%1 %2: mancano i numeri da %3 a %4</b></p>").arg(l.codLocale).arg(l.anno).arg(l.da).arg(l.a);
    const auto totali = [&](const QString& titolo, const QMap<QString, Totale>& mappa) {
        t += QStringLiteral("<h3>%1</h3><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\"><tr><th>Codice</th>"
                            "<th>Buoni</th><th>Importo</th></tr>").arg(titolo);
        for (auto it = mappa.cbegin(); it != mappa.cend(); ++it)
            t += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td><td align=\"right\">€ %3</td></tr>")
                     .arg(esc(it.key())).arg(it.value().buoni).arg(cifre(it.value().importo));
        t += QStringLiteral("</table>");
    };
    totali(QStringLiteral("Totali per operatore"), m_perOperatore);
    totali(QStringLiteral("Totali per testimone"), m_perTestimone);
    t += QStringLiteral("<h3>Correzioni</h3>");
    bool nessuna = true;
    for (const Voce& v : m_voci) {
        if (v.stato != QLatin1String("correzione"))
            continue;
        nessuna = false;
        const RigaRegistro& r = v.riga;
        t += QStringLiteral("<p>%1 (%2): %3 € %4, motivo: %5</p>")
                 .arg(esc(r.nome()), esc(r.codiceInterno),
                      r.numeroCorretto ? QStringLiteral("corregge il ") + RigaRegistro::nome(r.annoCorretto, r.numeroCorretto)
                                       : QStringLiteral("diminuzione"),
                      cifre(r.differenza), esc(r.motivo));
    }
    if (nessuna)
        t += QStringLiteral("<p>Nessuna.</p>");
    return t + QStringLiteral("</body></html>");
}

void RegistroBuoni::stampa(QPagedPaintDevice& dispositivo, const QDateTime& stampato) const {
    QTextDocument documento;
    documento.setHtml(html(stampato));
    documento.print(&dispositivo);
}

} // namespace KaloRefill
