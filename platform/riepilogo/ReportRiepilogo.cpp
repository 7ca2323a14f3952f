// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ReportRiepilogo.h"

#include "EsportazioneCsv.h"
#include "FormatoItaliano.h"
#include "GraficoRiepilogo.h"
#include "ReportStampa.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QUrl>

namespace KaloRefill::ReportRiepilogo {

namespace {

const QUrl indirizzoGrafico(QStringLiteral("riepilogo://grafico.png"));

// The lists keep the search component's drawing; only the page around them is ours.
QString corpo(const QString& documento) {
    const QString apri = QStringLiteral("<body>");
    const qsizetype inizio = documento.indexOf(apri);
    const qsizetype fine = documento.lastIndexOf(QStringLiteral("</body>"));
    if (inizio < 0 || fine < inizio)
        return documento;
    return documento.mid(inizio + apri.size(), fine - inizio - apri.size());
}

QString periodo(const Riepilogo& r) {
    return QStringLiteral("dal %1 al %2")
        .arg(FormatoItaliano::data(r.dal), FormatoItaliano::data(r.al));
}

int segnalati(const Riepilogo& r) {
    int n = 0;
    for (const auto& a : r.apparecchi)
        n += a.allarme ? 1 : 0;
    return n;
}

} // namespace

QString titolo(const Riepilogo& riepilogo) {
    QString t = QStringLiteral("Riepilogo Refill ") + periodo(riepilogo);
    if (!riepilogo.codLocale.isEmpty())
        t += QStringLiteral(" - Locale ") + riepilogo.codLocale;
    return t;
}

QString rigaSintesi(const Riepilogo& riepilogo) {
    if (riepilogo.vuoto())
        return QStringLiteral("Nessun refill nel periodo ") + periodo(riepilogo) + QLatin1Char('.');
    QString riga = QStringLiteral("Totale del periodo: € %1 in %2 refill su %3 apparecchi")
                       .arg(FormatoItaliano::importo(riepilogo.totale()))
                       .arg(riepilogo.numero())
                       .arg(riepilogo.apparecchi.size());
    const int n = segnalati(riepilogo);
    riga += n == 0 ? QStringLiteral("; nessun apparecchio segnalato.")
                   : QStringLiteral("; apparecchi segnalati per frequenza: %1.").arg(n);
    return riga;
}

QString motiviAllarme(const Riepilogo& riepilogo, int massimo) {
    QStringList righe;
    int altri = 0;
    for (const auto& a : riepilogo.apparecchi) {
        if (!a.allarme)
            continue;
        if (righe.size() < massimo)
            righe << QStringLiteral("! %1 - %2: %3").arg(a.codice, a.nome, a.motivo);
        else
            ++altri;
    }
    if (altri > 0)
        righe << QStringLiteral("... e altri %1 apparecchi segnalati").arg(altri);
    return righe.join(QLatin1Char('\n'));
}

TabellaTesto tabellaApparecchi(const Riepilogo& riepilogo) {
    TabellaTesto t;
    t.titolo = QStringLiteral("Refill per apparecchio");
    t.intestazioni = {QStringLiteral("Codice"),        QStringLiteral("Nome"),
                      QStringLiteral("Codice AAMS"),   QStringLiteral("Categoria"),
                      QStringLiteral("N. refill"),     QStringLiteral("Totale"),
                      QStringLiteral("Media"),         QStringLiteral("Massimo"),
                      QStringLiteral("Ultimo refill"), QStringLiteral("Allarme")};
    t.importi = {false, false, false, false, true, true, true, true, false, false};
    Valuta massimo;
    QDate ultimo;
    for (const auto& a : riepilogo.apparecchi) {
        t.righe.append({a.codice, a.nome, a.codiceAams, a.categoria, QString::number(a.numero),
                        FormatoItaliano::importo(a.totale), FormatoItaliano::importo(a.media()),
                        FormatoItaliano::importo(a.massimo), FormatoItaliano::data(a.ultimo),
                        a.allarme ? QStringLiteral("Sì") : QString()});
        massimo = std::max(massimo, a.massimo);
        ultimo = std::max(ultimo, a.ultimo);
    }
    if (!riepilogo.vuoto()) {
        const int numero = riepilogo.numero();
        const Valuta media =
            Valuta::daDecimillesimi(riepilogo.totale().decimillesimi() / std::max(1, numero));
        t.totale = {QStringLiteral("Totale"),
                    QString(),
                    QString(),
                    QString(),
                    QString::number(numero),
                    FormatoItaliano::importo(riepilogo.totale()),
                    FormatoItaliano::importo(media),
                    FormatoItaliano::importo(massimo),
                    FormatoItaliano::data(ultimo),
                    segnalati(riepilogo) > 0 ? QString::number(segnalati(riepilogo)) : QString()};
    }
    return t;
}

TabellaTesto tabellaGiorni(const Riepilogo& riepilogo) {
    TabellaTesto t;
    t.titolo = QStringLiteral("Refill per giorno");
    t.intestazioni = {QStringLiteral("Data"), QStringLiteral("N. refill"),
                      QStringLiteral("Totale")};
    t.importi = {false, true, true};
    for (const auto& g : riepilogo.giorni)
        t.righe.append({FormatoItaliano::data(g.data), QString::number(g.numero),
                        FormatoItaliano::importo(g.totale)});
    if (!riepilogo.giorni.isEmpty())
        t.totale = {QStringLiteral("Totale"), QString::number(riepilogo.numero()),
                    FormatoItaliano::importo(riepilogo.totale())};
    return t;
}

QString html(const Riepilogo& riepilogo, int larghezzaGrafico) {
    QString h = QStringLiteral("<html><body>");
    h += QStringLiteral("<h1>%1</h1>").arg(titolo(riepilogo).toHtmlEscaped());
    h += QStringLiteral("<p>%1</p>").arg(rigaSintesi(riepilogo).toHtmlEscaped());
    if (riepilogo.vuoto())
        return h + QStringLiteral("</body></html>");

    h += corpo(ReportStampa::html(tabellaApparecchi(riepilogo)));
    QString motivi;
    for (const auto& a : riepilogo.apparecchi)
        if (a.allarme)
            motivi += QStringLiteral("<li><b>%1 - %2</b>: %3</li>")
                          .arg(a.codice.toHtmlEscaped(), a.nome.toHtmlEscaped(),
                               a.motivo.toHtmlEscaped());
    if (!motivi.isEmpty())
        h += QStringLiteral("<h3>Apparecchi segnalati per frequenza dei refill</h3><ul>") + motivi +
             QStringLiteral("</ul>");
    if (larghezzaGrafico > 0)
        h += QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
                 .arg(indirizzoGrafico.toString())
                 .arg(larghezzaGrafico)
                 .arg(larghezzaGrafico * 6 / 10);
    h += corpo(ReportStampa::html(tabellaGiorni(riepilogo)));
    return h + QStringLiteral("</body></html>");
}

int stampa(QPagedPaintDevice& dispositivo, const Riepilogo& riepilogo) {
    ReportStampa::preparaPagina(dispositivo, tabellaApparecchi(riepilogo));
    // Document units are screen pixels at the default 96 per inch, scaled to the device.
    const int larghezza =
        static_cast<int>(dispositivo.pageLayout().paintRect(QPageLayout::Inch).width() * 96 * 0.9);
    QHash<QUrl, QImage> immagini;
    // Drawn at three times the document's 96 per inch, with its text sized in points of
    // the page, so the labels print at their size and sharp.
    constexpr int dettaglio = 3;
    if (!riepilogo.vuoto())
        immagini.insert(indirizzoGrafico,
                        GraficoRiepilogo::immagine(
                            riepilogo, QSize(larghezza * dettaglio, larghezza * 6 / 10 * dettaglio),
                            dettaglio * 96.0 / 72.0));
    return ReportStampa::stampaHtml(dispositivo, html(riepilogo, larghezza), immagini);
}

int esportaPdf(const QString& percorsoFile, const Riepilogo& riepilogo) {
    QPdfWriter pdf(percorsoFile);
    pdf.setTitle(titolo(riepilogo));
    pdf.setCreator(QStringLiteral("KaloRefill"));
    pdf.setResolution(300);
    return stampa(pdf, riepilogo);
}

QString csv(const Riepilogo& riepilogo) {
    const auto conTotale = [](const TabellaTesto& t) {
        QString testo = t.titolo + QStringLiteral("\r\n") + EsportazioneCsv::testo(t);
        if (!t.totale.isEmpty())
            testo += EsportazioneCsv::riga(t.totale);
        return testo;
    };
    return EsportazioneCsv::riga({titolo(riepilogo)}) + EsportazioneCsv::riga({rigaSintesi(riepilogo)}) +
           QStringLiteral("\r\n") + conTotale(tabellaApparecchi(riepilogo)) + QStringLiteral("\r\n") +
           conTotale(tabellaGiorni(riepilogo));
}

bool esportaCsv(const QString& percorsoFile, const Riepilogo& riepilogo, QString* errore) {
    return EsportazioneCsv::scriviTesto(percorsoFile, csv(riepilogo), errore);
}

} // namespace KaloRefill::ReportRiepilogo
