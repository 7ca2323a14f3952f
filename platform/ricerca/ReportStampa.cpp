#include "ReportStampa.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>

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

// A table is never begun with fewer rows than this at the foot of a page.
constexpr int righeMinime = 3;

QList<QTextTable*> tabelle(QTextDocument& documento) {
    QList<QTextTable*> elenco;
    for (QTextFrame* cornice : documento.rootFrame()->childFrames())
        if (auto* t = qobject_cast<QTextTable*>(cornice))
            elenco.append(t);
    return elenco;
}

int paginaDellaRiga(QTextDocument& documento, QTextTable* tabella, int riga, qreal altezza) {
    const QTextBlock blocco = tabella->cellAt(riga, 0).firstCursorPosition().block();
    return static_cast<int>(documento.documentLayout()->blockBoundingRect(blocco).top() / altezza);
}

// Headings repeat on every page of a table, and a table whose first rows would be left
// alone at the foot of a page starts on the next one, with its title.
void impagina(QTextDocument& documento, qreal altezzaPagina) {
    for (QTextTable* tabella : tabelle(documento)) {
        QTextTableFormat formato = tabella->format();
        formato.setHeaderRowCount(1);
        tabella->setFormat(formato);
    }
    for (QTextTable* tabella : tabelle(documento)) {
        const int corpo = tabella->rows() - 1;
        if (corpo < 1)
            continue;
        const int prima = paginaDellaRiga(documento, tabella, 1, altezzaPagina);
        int sullaPrima = 0;
        for (int r = 1; r <= corpo; ++r)
            sullaPrima += paginaDellaRiga(documento, tabella, r, altezzaPagina) == prima ? 1 : 0;
        if (sullaPrima >= std::min(righeMinime, corpo))
            continue;
        // The block before the first cell: the table's title.
        QTextCursor titolo = tabella->firstCursorPosition();
        if (!titolo.movePosition(QTextCursor::PreviousBlock))
            continue;
        QTextBlockFormat interruzione = titolo.blockFormat();
        interruzione.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        titolo.setBlockFormat(interruzione);
    }
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
    impagina(documento, pagina.height());
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
