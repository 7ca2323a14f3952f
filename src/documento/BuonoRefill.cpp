// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "documento/BuonoRefill.h"

#include "documento/CodiceQr.h"
#include "documento/ImportoInLettere.h"
#include "host/Errore.h"

#include <QDir>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace KaloRefill {

namespace {
QPageLayout impaginazione(bool rotolo) {
    const QPageSize carta = rotolo ? QPageSize(QSizeF(80, 200), QPageSize::Millimeter, QStringLiteral("Rotolo 80 mm"))
                                   : QPageSize(QPageSize::A4);
    return QPageLayout(carta, QPageLayout::Portrait, rotolo ? QMarginsF(4, 4, 4, 4) : QMarginsF(20, 20, 20, 20),
                       QPageLayout::Millimeter);
}
} // namespace

QString BuonoRefill::importoInCifre(const Valuta& importo) {
    const qint64 centesimi = (std::abs(importo.decimillesimi()) + 50) / 100;
    QString euro = QString::number(centesimi / 100);
    for (qsizetype i = euro.size() - 3; i > 0; i -= 3)
        euro.insert(i, QLatin1Char('.'));
    return (importo.decimillesimi() < 0 ? QStringLiteral("-") : QString()) + euro + QLatin1Char(',') +
           QStringLiteral("%1").arg(centesimi % 100, 2, 10, QLatin1Char('0'));
}

QString BuonoRefill::testoQr(const Dati& dati) {
    const RigaRegistro& r = dati.riga;
    return QStringLiteral("KALOREFILL BUONO %1 %2 EUR %3 IMPRONTA %4")
        .arg(r.codLocale, r.nome(), importoInCifre(r.differenza), r.impronta.left(12));
}

void BuonoRefill::disegna(QPainter& p, const QRectF& pagina, const Dati& dati, const QString& esemplare) {
    const RigaRegistro& r = dati.riga;
    // Millimetres on any device.
    const double mm = p.device()->logicalDpiY() / 25.4;
    const bool stretto = pagina.width() < 100 * mm;
    const double corpo = stretto ? 8.5 : 11;
    double y = pagina.top();
    const auto riga = [&](const QString& testo, double punti, bool grassetto = false,
                          Qt::Alignment allinea = Qt::AlignLeft) {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPointSizeF(punti);
        f.setBold(grassetto);
        p.setFont(f);
        const QRectF spazio(pagina.left(), y, pagina.width(), pagina.bottom() - y);
        const QRectF usato = p.boundingRect(spazio, int(allinea) | Qt::TextWordWrap, testo);
        p.drawText(spazio, int(allinea) | Qt::TextWordWrap, testo);
        y += usato.height() + 1.2 * mm;
    };
    p.setPen(Qt::black);
    riga(dati.sala.isEmpty() ? r.codLocale : dati.sala + QStringLiteral(" (") + r.codLocale + QLatin1Char(')'),
         corpo + 1, true, Qt::AlignHCenter);
    riga(QStringLiteral("BUONO DI REFILL HOPPER"), corpo + 3, true, Qt::AlignHCenter);
    riga(r.nome(), corpo + 6, true, Qt::AlignHCenter);
    riga(esemplare, corpo, true, Qt::AlignHCenter);
    y += 2 * mm;
    riga(QStringLiteral("Data e ora: ") + r.dataOra.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")), corpo);
    riga(QStringLiteral("Giornata: ") + r.giornata.toString(QStringLiteral("dd/MM/yyyy")), corpo);
    riga(QStringLiteral("Apparecchio: ") + r.codiceInterno + QStringLiteral(" - ") + r.nomeScheda, corpo);
    riga(QStringLiteral("Codice ADM: ") + r.codiceAams, corpo);
    y += 2 * mm;
    riga(QStringLiteral("Importo: € ") + importoInCifre(r.differenza), corpo + 5, true);
    riga(QStringLiteral("(") + ImportoInLettere::testo(r.differenza) + QLatin1Char(')'), corpo, false);
    riga(QStringLiteral("Apparecchio da € %1 a € %2").arg(importoInCifre(r.prima), importoInCifre(r.dopo)), corpo - 1);
    y += 2 * mm;
    riga(QStringLiteral("Operatore: ") + dati.operatore, corpo);
    riga(QStringLiteral("Testimone: ") + (dati.testimone.isEmpty() ? QStringLiteral("-") : dati.testimone), corpo);
    y += 12 * mm;

    // Two signature lines, side by side on A4, one under the other on a roll.
    QFont piccolo(QStringLiteral("DejaVu Sans"));
    piccolo.setPointSizeF(corpo - 1);
    p.setFont(piccolo);
    const double larghezza = stretto ? pagina.width() : pagina.width() / 2 - 6 * mm;
    const QStringList firme{QStringLiteral("Firma operatore"), QStringLiteral("Firma testimone")};
    for (qsizetype i = 0; i < firme.size(); ++i) {
        const double x = stretto ? pagina.left() : pagina.left() + double(i) * (larghezza + 12 * mm);
        p.drawLine(QPointF(x, y), QPointF(x + larghezza, y));
        p.drawText(QRectF(x, y + 1 * mm, larghezza, 6 * mm), Qt::AlignLeft, firme.at(i));
        if (stretto)
            y += 16 * mm;
    }
    y += stretto ? 0 : 12 * mm;

    const QImage qr = CodiceQr::immagine(testoQr(dati));
    const double lato = (stretto ? 34 : 40) * mm;
    const QRectF dove(pagina.left(), y, lato, lato);
    p.drawImage(dove, qr);
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setPointSizeF(corpo - 2);
    p.setFont(mono);
    const QRectF accanto(dove.right() + 3 * mm, y, pagina.right() - dove.right() - 3 * mm, lato);
    p.drawText(accanto, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWrapAnywhere,
               QStringLiteral("Impronta:\n") + r.impronta);
}

void BuonoRefill::disegnaCopie(QPagedPaintDevice& dispositivo, const Dati& dati, int copie, bool ristampa) {
    QPainter p;
    if (!p.begin(&dispositivo))
        throw Errore::database(QStringLiteral("Impossibile iniziare la stampa del buono %1.").arg(dati.riga.nome()));
    const QRectF pagina(QPointF(0, 0), QSizeF(dispositivo.width(), dispositivo.height()));
    for (int i = 1; i <= copie; ++i) {
        if (i > 1)
            dispositivo.newPage();
        const QString esemplare = ristampa ? QStringLiteral("COPIA") : QStringLiteral("Esemplare %1 di %2").arg(i).arg(copie);
        disegna(p, pagina, dati, esemplare);
    }
    p.end();
}

QString BuonoRefill::salvaPdf(const Dati& dati, const QString& cartella, int copie, bool rotolo, bool ristampa) {
    if (!QDir().mkpath(cartella))
        throw Errore::database(QStringLiteral("Impossibile creare la cartella dei buoni %1.").arg(cartella));
    QString nome = QStringLiteral("buono-%1-%2-%3").arg(dati.riga.codLocale).arg(dati.riga.anno)
                       .arg(dati.riga.numero, 6, 10, QLatin1Char('0'));
    if (ristampa)
        nome += QStringLiteral("-copia");
    const QString percorso = QDir(cartella).filePath(nome + QStringLiteral(".pdf"));
    {
        QPdfWriter pdf(percorso);
        pdf.setTitle(QStringLiteral("Buono di refill ") + dati.riga.nome());
        pdf.setCreator(QStringLiteral("KaloRefill"));
        pdf.setResolution(300);
        pdf.setPageLayout(impaginazione(rotolo));
        disegnaCopie(pdf, dati, copie, ristampa);
    }
    if (!QFileInfo(percorso).isFile() || QFileInfo(percorso).size() == 0)
        throw Errore::database(QStringLiteral("Impossibile scrivere il buono %1.").arg(percorso));
    return percorso;
}

void BuonoRefill::stampa(const Dati& dati, const QString& stampante, int copie, bool rotolo, bool ristampa) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(stampante);
    if (info.isNull())
        throw Errore::database(QStringLiteral("La stampante \"%1\" non è disponibile.").arg(stampante));
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Buono di refill ") + dati.riga.nome());
    printer.setPageLayout(impaginazione(rotolo));
    disegnaCopie(printer, dati, copie, ristampa);
}

} // namespace KaloRefill
