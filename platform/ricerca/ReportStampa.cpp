// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
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

qreal cimaDellaRiga(QTextDocument& documento, QTextTable* tabella, int riga) {
    const QTextBlock blocco = tabella->cellAt(riga, 0).firstCursorPosition().block();
    return documento.documentLayout()->blockBoundingRect(blocco).top();
}

int paginaDellaRiga(QTextDocument& documento, QTextTable* tabella, int riga, qreal altezza) {
    return static_cast<int>(cimaDellaRiga(documento, tabella, riga) / altezza);
}

// The table with its title starts on the next page.
void aCapoPagina(QTextTable* tabella) {
    // The block before the first cell: the table's title.
    QTextCursor titolo = tabella->firstCursorPosition();
    if (!titolo.movePosition(QTextCursor::PreviousBlock))
        return;
    QTextBlockFormat interruzione = titolo.blockFormat();
    interruzione.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    titolo.setBlockFormat(interruzione);
}

// Row riga opens the next page: the row before it grows down to the page's foot, as the
// layout itself does when a row does not fit. (A page break inside a cell would leave an
// empty page.)
void rigaANuovaPagina(QTextDocument& documento, QTextTable* tabella, int riga,
                      qreal altezzaPagina) {
    const qreal scala = documento.documentLayout()->paintDevice()
                            ? documento.documentLayout()->paintDevice()->logicalDpiY() / 96.0
                            : 1.0;
    const qreal margine = tabella->format().cellPadding();
    const int pagina = paginaDellaRiga(documento, tabella, riga, altezzaPagina);
    // Past the page's foot by the cell's top padding: the layout then moves the row down.
    const qreal mancante = (pagina + 1) * altezzaPagina - cimaDellaRiga(documento, tabella, riga) +
                           margine * scala + 1.0;
    for (int c = 0; c < tabella->columns(); ++c) {
        QTextTableCell cella = tabella->cellAt(riga - 1, c);
        QTextTableCellFormat formato = cella.format().toTableCellFormat();
        formato.setBottomPadding(margine + mancante / scala);
        cella.setFormat(formato);
    }
}

// Headings repeat on every page of a table. A table whose first rows would be left alone
// at the foot of a page starts on the next one, with its title; and its last page carries
// at least as many rows, taken from the page before.
void impagina(QTextDocument& documento, qreal altezzaPagina) {
    for (QTextTable* tabella : tabelle(documento)) {
        QTextTableFormat formato = tabella->format();
        formato.setHeaderRowCount(1);
        tabella->setFormat(formato);
    }
    const auto pagina = [&](QTextTable* t, int r) {
        return paginaDellaRiga(documento, t, r, altezzaPagina);
    };
    for (QTextTable* tabella : tabelle(documento)) {
        const int corpo = tabella->rows() - 1;
        if (corpo < 1)
            continue;
        const auto righeSullaPagina = [&](int p) {
            int n = 0;
            for (int r = 1; r <= corpo; ++r)
                n += pagina(tabella, r) == p ? 1 : 0;
            return n;
        };
        if (righeSullaPagina(pagina(tabella, 1)) < std::min(righeMinime, corpo))
            aCapoPagina(tabella);
        const int ultima = pagina(tabella, corpo);
        if (pagina(tabella, 1) == ultima || righeSullaPagina(ultima) >= righeMinime)
            continue;
        const int apre = corpo - righeMinime + 1;
        // Moving rows would leave too few on the table's first page: it all moves on.
        if (pagina(tabella, apre) == pagina(tabella, 1) && apre - 1 < righeMinime)
            aCapoPagina(tabella);
        else
            rigaANuovaPagina(documento, tabella, apre, altezzaPagina);
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
