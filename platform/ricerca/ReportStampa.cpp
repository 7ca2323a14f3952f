#include "ReportStampa.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace KaloRefill::ReportStampa {

namespace {

constexpr int colonneVerticale = 6;
constexpr qreal puntiTesto = 9.0;

QString cella(const QString& tag, const QString& testo, bool destra, bool grassetto = false) {
    QString contenuto = testo.toHtmlEscaped();
    if (grassetto)
        contenuto = QStringLiteral("<b>%1</b>").arg(contenuto);
    return QStringLiteral("<%1 align=\"%2\">%3</%1>")
        .arg(tag, destra ? QStringLiteral("right") : QStringLiteral("left"), contenuto);
}

} // namespace

QString html(const TabellaTesto& tabella) {
    QString h;
    h += QStringLiteral("<html><body>");
    h += QStringLiteral("<h2>%1</h2>").arg(tabella.titolo.toHtmlEscaped());
    h += QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                        "style=\"border-collapse: collapse; border-color: #808080\">");
    h += QStringLiteral("<thead><tr bgcolor=\"#e0e0e0\">");
    for (qsizetype c = 0; c < tabella.intestazioni.size(); ++c)
        h += cella(QStringLiteral("th"), tabella.intestazioni.at(c), tabella.importi.value(c));
    h += QStringLiteral("</tr></thead>");
    for (const QStringList& riga : tabella.righe) {
        h += QStringLiteral("<tr>");
        for (qsizetype c = 0; c < riga.size(); ++c)
            h += cella(QStringLiteral("td"), riga.at(c), tabella.importi.value(c));
        h += QStringLiteral("</tr>");
    }
    if (!tabella.totale.isEmpty()) {
        h += QStringLiteral("<tr>");
        for (qsizetype c = 0; c < tabella.totale.size(); ++c)
            h += cella(QStringLiteral("td"), tabella.totale.at(c), tabella.importi.value(c), true);
        h += QStringLiteral("</tr>");
    }
    h += QStringLiteral("</table>");
    h += QStringLiteral("<p>Righe: %1</p>").arg(tabella.righe.size());
    h += QStringLiteral("</body></html>");
    return h;
}

QString piePagina(int pagina, int pagine) {
    return QStringLiteral("Pagina %1 di %2").arg(pagina).arg(pagine);
}

void preparaPagina(QPagedPaintDevice& dispositivo, const TabellaTesto& tabella) {
    const auto orientamento = tabella.intestazioni.size() > colonneVerticale
                                  ? QPageLayout::Landscape
                                  : QPageLayout::Portrait;
    dispositivo.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientamento,
                                          QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
}

int stampa(QPagedPaintDevice& dispositivo, const TabellaTesto& tabella) {
    return stampaHtml(dispositivo, html(tabella), {});
}

int stampaHtml(QPagedPaintDevice& dispositivo, const QString& html,
               const QHash<QUrl, QImage>& immagini) {
    QPainter pittore;
    if (!pittore.begin(&dispositivo))
        return 0;
    const QRectF area(QPointF(0, 0),
                      dispositivo.pageLayout().paintRectPixels(dispositivo.logicalDpiX()).size());

    QFont carattere = pittore.font();
    carattere.setPointSizeF(puntiTesto);
    const QFontMetricsF metriche(carattere, &dispositivo);
    const qreal altezzaPiede = metriche.height() * 2.0;

    QTextDocument documento;
    documento.documentLayout()->setPaintDevice(&dispositivo);
    documento.setDefaultFont(carattere);
    documento.setDocumentMargin(0);
    for (auto it = immagini.cbegin(); it != immagini.cend(); ++it)
        documento.addResource(QTextDocument::ImageResource, it.key(), it.value());
    documento.setHtml(html);
    const QSizeF pagina(area.width(), area.height() - altezzaPiede);
    documento.setPageSize(pagina);
    const int pagine = documento.pageCount();

    pittore.setFont(carattere);
    for (int i = 0; i < pagine; ++i) {
        if (i > 0)
            dispositivo.newPage();
        pittore.save();
        pittore.translate(0, -i * pagina.height());
        documento.drawContents(&pittore, QRectF(QPointF(0, i * pagina.height()), pagina));
        pittore.restore();
        pittore.drawText(
            QRectF(0, area.height() - metriche.height(), area.width(), metriche.height()),
            Qt::AlignHCenter | Qt::AlignBottom, piePagina(i + 1, pagine));
    }
    pittore.end();
    return pagine;
}

int esportaPdf(const QString& percorsoFile, const TabellaTesto& tabella) {
    QPdfWriter pdf(percorsoFile);
    pdf.setTitle(tabella.titolo);
    pdf.setCreator(QStringLiteral("KaloviaRicerca"));
    pdf.setResolution(300);
    preparaPagina(pdf, tabella);
    return stampa(pdf, tabella);
}

} // namespace KaloRefill::ReportStampa
