// The layout arithmetic, without a window: the places it writes for a given inner size,
// the sizes it refuses and the values later steps read after a refusal.

#include "form/LayoutRefill.h"
#include "form/Twips.h"

#include <QList>
#include <QMap>
#include <QSizeF>
#include <QTest>

using namespace KaloRefill;

namespace {

using Attesi = QMap<QString, double>;

// The places as the form is created.
LayoutRefill comeCreato() {
    LayoutRefill l;
    l.Picture1 = {60, 60, 12555, 2715};
    l.FrmTastiera = {7440, 2820, 5175, 7875};
    l.FrmApparecchi = {60, 3540, 7335, 6555};
    l.CmdDietro = l.Opt1 = l.Opt2 = l.Opt3 = l.CmdAvanti = {60, 120, 0, 1275};
    l.FrmConto = {7320, 0, 5115, 2595};
    l.Image1 = {5400, 420, 1920, 1920};
    return l;
}

// "FrmTastiera.Left", "CmdApparecchio_6.Top".
float leggi(const LayoutRefill& l, const QString& nome) {
    const QString controllo = nome.section(QLatin1Char('.'), 0, 0);
    const QString proprieta = nome.section(QLatin1Char('.'), 1);
    const Twips::Rettangolo* r = nullptr;
    const QMap<QString, const Twips::Rettangolo*> controlli = {
        {QStringLiteral("Picture1"), &l.Picture1},
        {QStringLiteral("FrmTastiera"), &l.FrmTastiera},
        {QStringLiteral("FrmApparecchi"), &l.FrmApparecchi},
        {QStringLiteral("CmdDietro"), &l.CmdDietro},
        {QStringLiteral("Opt1"), &l.Opt1},
        {QStringLiteral("Opt2"), &l.Opt2},
        {QStringLiteral("Opt3"), &l.Opt3},
        {QStringLiteral("CmdAvanti"), &l.CmdAvanti},
        {QStringLiteral("FrmConto"), &l.FrmConto},
        {QStringLiteral("Image1"), &l.Image1}};
    if (controllo.startsWith(QStringLiteral("CmdApparecchio_")))
        r = &l.CmdApparecchio.at(controllo.section(QLatin1Char('_'), 1).toUInt());
    else
        r = controlli.value(controllo);
    if (!r)
        qFatal("unknown control %s", qPrintable(controllo));
    if (proprieta == QStringLiteral("Left"))
        return r->Left;
    if (proprieta == QStringLiteral("Top"))
        return r->Top;
    if (proprieta == QStringLiteral("Width"))
        return r->Width;
    return r->Height;
}

Attesi grigliaColonne(std::initializer_list<double> sinistre, double larghezza) {
    Attesi a;
    int c = 0;
    for (double s : sinistre) {
        for (int r = 0; r < 4; ++r) {
            a.insert(QStringLiteral("CmdApparecchio_%1.Left").arg(4 * r + c), s);
            a.insert(QStringLiteral("CmdApparecchio_%1.Width").arg(4 * r + c), larghezza);
        }
        ++c;
    }
    return a;
}

Attesi grigliaRighe(std::initializer_list<double> alti, double altezza) {
    Attesi a;
    int r = 0;
    for (double t : alti) {
        for (int c = 0; c < 4; ++c) {
            a.insert(QStringLiteral("CmdApparecchio_%1.Top").arg(4 * r + c), t);
            a.insert(QStringLiteral("CmdApparecchio_%1.Height").arg(4 * r + c), altezza);
        }
        ++r;
    }
    return a;
}

Attesi unisci(std::initializer_list<Attesi> parti) {
    Attesi tutto;
    for (const Attesi& p : parti)
        tutto.insert(p);
    return tutto;
}

// The form at its created size, 15270 x 10785.
Attesi creata() {
    return unisci({grigliaColonne({60, 2511.25, 4962.5, 7413.75}, 2451.25),
                   grigliaRighe({1395, 3006.25, 4617.5, 6228.75}, 1611.25),
                   {{QStringLiteral("Picture1.Left"), 60},
                    {QStringLiteral("Picture1.Top"), 60},
                    {QStringLiteral("Picture1.Width"), 15150},
                    {QStringLiteral("Picture1.Height"), 2715},
                    {QStringLiteral("FrmTastiera.Left"), 10035},
                    {QStringLiteral("FrmTastiera.Top"), 2775},
                    {QStringLiteral("FrmTastiera.Width"), 5175},
                    {QStringLiteral("FrmTastiera.Height"), 7960},
                    {QStringLiteral("FrmApparecchi.Left"), 60},
                    {QStringLiteral("FrmApparecchi.Top"), 2775},
                    {QStringLiteral("FrmApparecchi.Width"), 9925},
                    {QStringLiteral("FrmApparecchi.Height"), 7960},
                    {QStringLiteral("CmdDietro.Left"), 60},
                    {QStringLiteral("CmdDietro.Width"), 1961},
                    {QStringLiteral("Opt1.Left"), 2021},
                    {QStringLiteral("Opt2.Left"), 3982},
                    {QStringLiteral("Opt3.Left"), 5943},
                    {QStringLiteral("CmdAvanti.Left"), 7904},
                    {QStringLiteral("CmdAvanti.Width"), 1961},
                    {QStringLiteral("Opt2.Top"), 120},
                    {QStringLiteral("Opt2.Height"), 1275},
                    {QStringLiteral("FrmConto.Left"), 9935},
                    {QStringLiteral("FrmConto.Width"), 5115},
                    {QStringLiteral("Image1.Left"), 8015},
                    {QStringLiteral("Image1.Top"), 420}}});
}

} // namespace

class TstLayout : public QObject {
    Q_OBJECT
private slots:
    void posti_data();
    void posti();
    void grigliaInPixelSenzaFessure();
};

void TstLayout::posti_data() {
    QTest::addColumn<QList<QSizeF>>("dimensioni");
    QTest::addColumn<Attesi>("attesi");

    const QSizeF creataDim(15270, 10785);
    QTest::newRow("created size") << QList<QSizeF>{creataDim} << creata();

    QTest::newRow("wider") << QList<QSizeF>{creataDim, {20000, 10785}}
                           << unisci({grigliaColonne({60, 3693.75, 7327.5, 10961.25}, 3633.75),
                                      grigliaRighe({1395, 3006.25, 4617.5, 6228.75}, 1611.25),
                                      {{QStringLiteral("Picture1.Width"), 19880},
                                       {QStringLiteral("FrmTastiera.Left"), 14765},
                                       {QStringLiteral("FrmTastiera.Width"), 5175},
                                       {QStringLiteral("FrmApparecchi.Width"), 14655},
                                       {QStringLiteral("CmdDietro.Width"), 2907},
                                       {QStringLiteral("Opt1.Left"), 2967},
                                       {QStringLiteral("Opt3.Width"), 2907},
                                       {QStringLiteral("CmdAvanti.Left"), 11688},
                                       {QStringLiteral("FrmConto.Left"), 14665},
                                       {QStringLiteral("Image1.Left"), 12745}}});

    QTest::newRow("taller") << QList<QSizeF>{creataDim, {15270, 14000}}
                            << unisci({grigliaColonne({60, 2511.25, 4962.5, 7413.75}, 2451.25),
                                       grigliaRighe({1395, 3810, 6225, 8640}, 2415),
                                       {{QStringLiteral("Picture1.Height"), 2715},
                                        {QStringLiteral("FrmTastiera.Top"), 2775},
                                        {QStringLiteral("FrmTastiera.Height"), 11175},
                                        {QStringLiteral("FrmApparecchi.Height"), 11175},
                                        {QStringLiteral("Opt1.Top"), 120},
                                        {QStringLiteral("Opt1.Height"), 1275},
                                        {QStringLiteral("CmdAvanti.Height"), 1275}}});

    // C and D negative: their widths are refused, the lefts drop below 60.
    QTest::newRow("narrower than 5465")
        << QList<QSizeF>{creataDim, {5400, 10785}}
        << unisci({grigliaColonne({60, 43.75, 27.5, 11.25}, 2451.25),
                   {{QStringLiteral("Picture1.Width"), 5280},
                    {QStringLiteral("FrmTastiera.Left"), 165},
                    {QStringLiteral("FrmApparecchi.Width"), 55},
                    {QStringLiteral("CmdDietro.Width"), 1961},
                    {QStringLiteral("Opt1.Left"), 47},
                    {QStringLiteral("Opt1.Width"), 1961},
                    {QStringLiteral("Opt2.Left"), 34},
                    {QStringLiteral("Opt3.Left"), 21},
                    {QStringLiteral("CmdAvanti.Left"), 8},
                    {QStringLiteral("FrmConto.Left"), 65},
                    {QStringLiteral("Image1.Left"), -1855}}});

    // The machine frame's width is refused; the grid is computed from the kept one.
    QTest::newRow("narrower than the keypad")
        << QList<QSizeF>{creataDim, {5000, 10785}}
        << unisci({grigliaColonne({60, 2511.25, 4962.5, 7413.75}, 2451.25),
                   {{QStringLiteral("Picture1.Width"), 4880},
                    {QStringLiteral("FrmTastiera.Left"), -235},
                    {QStringLiteral("FrmApparecchi.Width"), 9925},
                    {QStringLiteral("CmdAvanti.Left"), 7904},
                    {QStringLiteral("FrmConto.Left"), -335},
                    {QStringLiteral("Image1.Left"), -2255}}});

    // Every size is refused; positions are still written, from the kept sizes.
    QTest::newRow("minimised") << QList<QSizeF>{creataDim, {20000, 12000}, {0, 0}}
                               << unisci({grigliaColonne({60, 3693.75, 7327.5, 10961.25}, 3633.75),
                                          grigliaRighe({1395, 3310, 5225, 7140}, 1915),
                                          {{QStringLiteral("Picture1.Width"), 19880},
                                           {QStringLiteral("Picture1.Height"), 2715},
                                           {QStringLiteral("FrmTastiera.Left"), 14765},
                                           {QStringLiteral("FrmTastiera.Top"), 2775},
                                           {QStringLiteral("FrmTastiera.Height"), 9175},
                                           {QStringLiteral("FrmApparecchi.Width"), 14655},
                                           {QStringLiteral("FrmApparecchi.Height"), 9175},
                                           {QStringLiteral("CmdAvanti.Width"), 2907},
                                           {QStringLiteral("FrmConto.Left"), 14665}}});

    QTest::newRow("minimised then restored")
        << QList<QSizeF>{creataDim, {20000, 12000}, {0, 0}, creataDim} << creata();

    QTest::newRow("first layout while minimised")
        << QList<QSizeF>{{90, 60}}
        << Attesi{{QStringLiteral("Picture1.Width"), 12555},
                  {QStringLiteral("FrmTastiera.Top"), 2775},
                  {QStringLiteral("FrmTastiera.Height"), 7875},
                  {QStringLiteral("FrmTastiera.Left"), 7440},
                  {QStringLiteral("FrmApparecchi.Height"), 6555},
                  {QStringLiteral("FrmApparecchi.Width"), 7335},
                  {QStringLiteral("CmdApparecchio_5.Left"), 1863.75},
                  {QStringLiteral("CmdApparecchio_5.Width"), 1803.75},
                  {QStringLiteral("CmdApparecchio_5.Top"), 2655},
                  {QStringLiteral("CmdApparecchio_5.Height"), 1260},
                  {QStringLiteral("FrmConto.Left"), 7340}};

    // D = 1907.2 is not a float: the sums have to be taken in single precision.
    QTest::newRow("single precision")
        << QList<QSizeF>{{15001, 10785}}
        << Attesi{{QStringLiteral("CmdDietro.Width"), 1907.199951171875},
                  {QStringLiteral("Opt1.Left"), 1967.199951171875},
                  {QStringLiteral("Opt2.Left"), 3874.39990234375},
                  {QStringLiteral("Opt3.Left"), 5781.599609375},
                  {QStringLiteral("CmdAvanti.Left"), 7688.7998046875}};
}

void TstLayout::posti() {
    QFETCH(QList<QSizeF>, dimensioni);
    QFETCH(Attesi, attesi);

    LayoutRefill l = comeCreato();
    for (const QSizeF& d : dimensioni)
        l.applica(float(d.width()), float(d.height()));

    for (auto it = attesi.cbegin(); it != attesi.cend(); ++it) {
        const float valore = leggi(l, it.key());
        // Exact: a fuzzy compare would hide a step done in double precision.
        QVERIFY2(valore == float(it.value()),
                 qPrintable(QStringLiteral("%1 is %2, expected %3")
                                .arg(it.key(), QString::number(valore, 'g', 12),
                                     QString::number(it.value(), 'g', 12))));
    }
}

// Neighbouring machine buttons share their pixel edges, and the last column ends where
// the frame's margin begins, at any size.
void TstLayout::grigliaInPixelSenzaFessure() {
    for (int larghezzaPixel : {640, 800, 1018, 1024, 1279, 1366, 1920}) {
        LayoutRefill l = comeCreato();
        l.applica(Twips::daPixel(larghezzaPixel), Twips::daPixel(719));
        const QRect cornice = Twips::inPixel(l.FrmApparecchi);
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 3; ++c) {
                const QRect sinistra = Twips::inPixel(l.CmdApparecchio.at(std::size_t(4 * r + c)));
                const QRect destra =
                    Twips::inPixel(l.CmdApparecchio.at(std::size_t(4 * r + c + 1)));
                QCOMPARE(destra.left(), sinistra.right() + 1);
            }
            const QRect ultima = Twips::inPixel(l.CmdApparecchio.at(std::size_t(4 * r + 3)));
            QCOMPARE(ultima.right() + 1, cornice.width() - 4);
        }
        for (int c = 0; c < 4; ++c) {
            const QRect alto = Twips::inPixel(l.CmdApparecchio.at(std::size_t(c)));
            const QRect basso = Twips::inPixel(l.CmdApparecchio.at(std::size_t(4 + c)));
            QCOMPARE(basso.top(), alto.bottom() + 1);
        }
    }
}

QTEST_APPLESS_MAIN(TstLayout)
#include "tst_layout.moc"
