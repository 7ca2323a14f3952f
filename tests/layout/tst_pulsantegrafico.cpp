// Captions of the graphical buttons: carriage returns break lines, long words wrap inside
// the button, a caption too tall for it is set smaller and, past that, keeps its first
// line in view.

#include "form/PulsanteGrafico.h"

#include <QImage>
#include <QTest>

using namespace KaloRefill;

namespace {

struct Banda {
    int alto;
    int basso;
    int larghezzaInchiostro;
};

// Horizontal bands of white ink (caption text on a dark button), top to bottom, inside
// the button's border and rounded corners.
QList<Banda> bande(const QImage& immagine) {
    QList<Banda> risultato;
    bool dentro = false;
    for (int y = 4; y < immagine.height() - 4; ++y) {
        int sinistra = immagine.width(), destra = -1;
        for (int x = 4; x < immagine.width() - 4; ++x) {
            const QColor c = immagine.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 200 && c.blue() > 200) {
                sinistra = qMin(sinistra, x);
                destra = qMax(destra, x);
            }
        }
        if (destra >= 0) {
            if (!dentro)
                risultato.append({y, y, 0});
            risultato.last().basso = y;
            risultato.last().larghezzaInchiostro =
                qMax(risultato.last().larghezzaInchiostro, destra - sinistra + 1);
        }
        dentro = destra >= 0;
    }
    return risultato;
}

QImage disegna(const QString& caption, QSize dimensione) {
    PulsanteGrafico p;
    QFont f = p.font();
    f.setPointSizeF(12);
    f.setBold(true);
    p.setFont(f);
    p.setBackColor(QColor(0, 128, 128));
    p.setCaption(caption);
    p.resize(dimensione);
    return p.grab().toImage();
}

} // namespace

class TstPulsanteGrafico : public QObject {
    Q_OBJECT
private slots:
    void righe_data();
    void righe();
    void parolaLunga();
    void importoInVista();
    void primaRigaInVista();
};

void TstPulsanteGrafico::righe_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("righe");
    QTest::newRow("one line") << QStringLiteral("0042") << 1;
    QTest::newRow("code and name") << QStringLiteral("0042\rGallo\r") << 2;
    QTest::newRow("with amount") << QStringLiteral("0042\rGallo\r\r\u20AC  12,5") << 3;
    QTest::newRow("CR LF") << QStringLiteral("0042\r\nGallo") << 2;
}

void TstPulsanteGrafico::righe() {
    QFETCH(QString, caption);
    QFETCH(int, righe);
    const QImage immagine = disegna(caption, {160, 120});
    QCOMPARE(bande(immagine).size(), righe);
}

// A machine name with no blank in it is broken inside the button, not cut at its sides.
void TstPulsanteGrafico::parolaLunga() {
    const QImage immagine = disegna(QStringLiteral("SUPERLOTTOFORTUNAMAXIMA"), {100, 120});
    const QList<Banda> trovate = bande(immagine);
    QVERIFY2(trovate.size() >= 2, "the long word was not wrapped");
    for (const Banda& b : trovate)
        QVERIFY(b.larghezzaInchiostro <= 100 - 8);
}

// A refilled machine on a small button: smaller type, but the amount line is still there.
void TstPulsanteGrafico::importoInVista() {
    const QImage immagine = disegna(QStringLiteral("0043\rFortuna\r\r\u20AC  150"), {100, 64});
    const QList<Banda> trovate = bande(immagine);
    QCOMPARE(trovate.size(), 3);
    QVERIFY(trovate.last().basso < immagine.height() - 5);
}

// More lines than fit: the first one (the machine's code) stays, the last ones are cut.
void TstPulsanteGrafico::primaRigaInVista() {
    const QImage immagine = disegna(QStringLiteral("WWWW\r.\r.\r.\r.\r.\r.\r.\r.\r."), {100, 60});
    const QList<Banda> trovate = bande(immagine);
    QVERIFY(!trovate.isEmpty());
    QVERIFY2(trovate.first().larghezzaInchiostro > 3 * trovate.last().larghezzaInchiostro,
             "the first visible line is not the first line of the caption");
    QVERIFY(trovate.first().alto >= 4);
}

QTEST_MAIN(TstPulsanteGrafico)
#include "tst_pulsantegrafico.moc"
