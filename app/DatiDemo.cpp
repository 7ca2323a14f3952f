// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "DatiDemo.h"

#include "controlli/Operatori.h"
#include "documento/RegistroRefill.h"
#include "host/Errore.h"
#include "host/HostApplication.h"
#include "host/SqlTesti.h"
#include "host/Valuta.h"

#include <QDateTime>
#include <QList>
#include <QTime>

#include <array>
#include <tuple>
#include <utility>

namespace KaloRefill {

namespace {

using Campi = QList<std::pair<QString, QVariant>>;

const QString codLocale = QStringLiteral("SG01");
const QString contoCassaSala = QStringLiteral("C.01.001");
const QString contoRefill = QStringLiteral("C.01.010");
constexpr qint16 vero = -1;
constexpr qint16 falso = 0;
constexpr int tipologiaRefill = 6;
constexpr int giorniDiRefill = 3;

struct Apparecchio {
    int idscheda;
    int idapparecchio;
    QString codiceinterno;
    QString nomescheda;
    QString nomemobile; // empty: never filled in
    QString codiceaams;
    QString categoria;
    int tipologiaincasso;
    qint16 attiva;
    int ordineincasso;
};

struct Operatore {
    QString codice;
    QString nome;
    QString cognome;
    QString ruolo;
    // The demo PIN, told in the README.
    QString pin;
};

const std::array nomiAwp{
    u"Tesoro del Faraone", u"Frutti d'Oro",      u"Gallo Fortunato",   u"Diamanti Rossi",
    u"Jolly Sette",        u"Stella del Sud",    u"Vulcano d'Oro",     u"Drago Fortunato",
    u"Fortuna Reale",      u"Luna Piena",        u"Corona di Zaffiri", u"Re dei Pirati",
    u"Tre Ciliegie",       u"Campana d'Argento", u"Quadrifoglio",      u"Oro di Napoli",
    u"Carretto Siciliano", u"Gondola d'Oro",     u"Scrigno Segreto",   u"Mille Lire",
    u"Asso di Coppe",      u"Torre dei Tesori",  u"Notte a Venezia",   u"Vesuvio Jackpot",
    u"Mandolino",          u"Palio di Siena",    u"Bella Vita",        u"Arcobaleno"};
const std::array nomiVlt{u"Gran Premio Roma",  u"Magnifico Jackpot", u"Tesori d'Oriente",
                         u"Settebello Deluxe", u"Canal Grande",      u"Riviera Ligure",
                         u"Reggia di Caserta", u"Milano da Bere",    u"Lago di Como",
                         u"Capri Blu",         u"Etna Fire",         u"Dolce Vita Gold"};
const std::array mobiliAwp{u"Mobile Atlantide 22", u"Mobile Vega Slim", u"Mobile Orione Dual",
                           u"Mobile Perseo Up"};
const std::array mobiliVlt{u"Terminale Aurora 32", u"Terminale Zenith Curve"};

// Typical hopper loads, in ten-thousandths: round sums, with the odd half euro.
const std::array importiRefill{500000LL,  1000000LL, 1500000LL, 2000000LL, 755000LL,
                               1250000LL, 2500000LL, 1200000LL, 300000LL,  1125000LL};

const QList<Operatore>& operatori() {
    static const QList<Operatore> elenco{
        {QStringLiteral("OP01"), QStringLiteral("Marco"), QStringLiteral("Bellini"), QStringLiteral("responsabile"),
         QStringLiteral("1111")},
        {QStringLiteral("OP02"), QStringLiteral("Giulia"), QStringLiteral("Ferraro"), QStringLiteral("operatore"),
         QStringLiteral("2222")},
        {QStringLiteral("OP03"), QStringLiteral("Luca"), QStringLiteral("Esposito"), QStringLiteral("operatore"),
         QStringLiteral("3333")}};
    return elenco;
}

QString codiceAwp(int numero) {
    return QStringLiteral("CP%1").arg(200155000 + numero * 3179, 10, 10, QLatin1Char('0'));
}

QString codiceVlt(int numero) {
    return QStringLiteral("VL%1").arg(10472000000000LL + numero * 7919LL, 14, 10, QLatin1Char('0'));
}

QString numeroDueCifre(int numero) {
    return QStringLiteral("%1").arg(numero, 2, 10, QLatin1Char('0'));
}

QList<Apparecchio> apparecchi() {
    QList<Apparecchio> elenco;
    // In service and refilled by the form: the hall floor, AWP first, then the VLT room.
    for (size_t i = 0; i < nomiAwp.size(); ++i) {
        const int numero = static_cast<int>(i) + 1;
        const int ordine = static_cast<int>(elenco.size()) + 1;
        elenco.push_back(
            {1000 + ordine, 5000 + ordine, QStringLiteral("AWP") + numeroDueCifre(numero),
             QString::fromUtf16(nomiAwp[i]), QString::fromUtf16(mobiliAwp[i % mobiliAwp.size()]),
             codiceAwp(numero), QStringLiteral("AWP"), tipologiaRefill, vero, ordine});
    }
    for (size_t i = 0; i < nomiVlt.size(); ++i) {
        const int numero = static_cast<int>(i) + 1;
        const int ordine = static_cast<int>(elenco.size()) + 1;
        // The last terminal came without a cabinet name: the log shows the gap.
        const QString mobile = i + 1 == nomiVlt.size()
                                   ? QString()
                                   : QString::fromUtf16(mobiliVlt[i % mobiliVlt.size()]);
        elenco.push_back({1000 + ordine, 5000 + ordine,
                          QStringLiteral("VLT") + numeroDueCifre(numero),
                          QString::fromUtf16(nomiVlt[i]), mobile, codiceVlt(numero),
                          QStringLiteral("VLT"), tipologiaRefill, vero, ordine});
    }
    // Out of service: still in the register, never on the form.
    elenco.push_back({1041, 5041, QStringLiteral("AWP29"), QStringLiteral("Vecchio West"),
                      QStringLiteral("Mobile Vega Slim"), codiceAwp(29), QStringLiteral("AWP"),
                      tipologiaRefill, falso, 41});
    elenco.push_back({1042, 5042, QStringLiteral("AWP30"), QStringLiteral("Sette e Mezzo"),
                      QStringLiteral("Mobile Atlantide 22"), codiceAwp(30), QStringLiteral("AWP"),
                      tipologiaRefill, falso, 42});
    elenco.push_back({1043, 5043, QStringLiteral("VLT13"), QStringLiteral("Aurora Boreale"),
                      QStringLiteral("Terminale Aurora 32"), codiceVlt(13), QStringLiteral("VLT"),
                      tipologiaRefill, falso, 43});
    // In service but with other takings (no hopper): never on the form either.
    elenco.push_back({1044, 5044, QStringLiteral("CB01"), QStringLiteral("Calciobalilla"),
                      QStringLiteral("Tavolo Campione"), QStringLiteral("NO7C00004412"),
                      QStringLiteral("7C"), 1, vero, 1});
    elenco.push_back({1045, 5045, QStringLiteral("GRU01"), QStringLiteral("Gru Peluche"),
                      QStringLiteral("Cabina Gru Maxi"), QStringLiteral("NO7A00001873"),
                      QStringLiteral("7A"), 2, vero, 2});
    elenco.push_back({1046, 5046, QStringLiteral("AH01"), QStringLiteral("Air Hockey"),
                      QStringLiteral("Tavolo Air Hockey"), QStringLiteral("NO7C00005120"),
                      QStringLiteral("7C"), 1, vero, 3});
    return elenco;
}

// A new row through a set opened on the whole table, as every program of the suite does.
void aggiungi(Recordset& insieme, const Campi& campi) {
    insieme.AddNew();
    for (const auto& [nome, valore] : campi) {
        if (!valore.isNull())
            insieme.SetField(nome, valore);
    }
    insieme.Update();
}

RecordsetPtr tabella(HostApplication& host, const QString& nome) {
    return host.openrecordset(QStringLiteral("select * from ") + nome);
}

QVariant importo(Valuta valore) {
    return QVariant::fromValue(valore);
}

// The amount as the keypad shows it when saved ("75,50"): the log keeps that text.
QString testoDisplay(Valuta valore) {
    const qint64 centesimi = valore.decimillesimi() / 100;
    return QStringLiteral("%1,%2")
        .arg(centesimi / 100)
        .arg(centesimi % 100, 2, 10, QLatin1Char('0'));
}

// Which machines were refilled on a day: about two in five, a different set each day.
bool rifornito(int posizione, int giorno) {
    return (posizione * 7 + giorno * 3) % 5 < 2;
}

Valuta importoRefill(int posizione, int giorno) {
    return Valuta::daDecimillesimi(
        importiRefill[static_cast<size_t>(posizione + giorno) % importiRefill.size()]);
}

void scriviAnagrafiche(HostApplication& host) {
    aggiungi(*tabella(host, QStringLiteral("anagraficalocali")),
             {{QStringLiteral("Codlocale"), codLocale},
              {QStringLiteral("ragionesociale"), QStringLiteral("Sala Giochi Le Ginestre S.r.l.")},
              {QStringLiteral("indirizzo"), QStringLiteral("Via Giuseppe Garibaldi 112")},
              {QStringLiteral("citta"), QStringLiteral("84122 Salerno (SA)")}});
    aggiungi(*tabella(host, QStringLiteral("TabAssociazioneConti")),
             {{QStringLiteral("CassaSalaGiochi"), contoCassaSala},
              {QStringLiteral("CassaRefill"), contoRefill}});
    const RecordsetPtr insieme = tabella(host, QStringLiteral("operatori"));
    for (const Operatore& operatore : operatori())
        aggiungi(*insieme, {{QStringLiteral("codice"), operatore.codice},
                            {QStringLiteral("nome"), operatore.nome},
                            {QStringLiteral("cognome"), operatore.cognome},
                            {QStringLiteral("ruolo"), operatore.ruolo},
                            {QStringLiteral("attivo"), vero}});
}

void scriviApparecchi(HostApplication& host, const QList<Apparecchio>& elenco) {
    const RecordsetPtr insieme = tabella(host, QStringLiteral("apparecchi"));
    for (const Apparecchio& a : elenco)
        aggiungi(*insieme, {{QStringLiteral("idscheda"), a.idscheda},
                            {QStringLiteral("Idapparecchio"), QString::number(a.idapparecchio)},
                            {QStringLiteral("codiceinterno"), a.codiceinterno},
                            {QStringLiteral("Nomescheda"), a.nomescheda},
                            {QStringLiteral("nomemobile"),
                             a.nomemobile.isEmpty() ? QVariant() : a.nomemobile},
                            {QStringLiteral("codiceaams"), a.codiceaams},
                            {QStringLiteral("tipologiaincasso"), a.tipologiaincasso},
                            {QStringLiteral("categoria"), a.categoria},
                            {QStringLiteral("attiva"), a.attiva},
                            {QStringLiteral("ordineincasso"), a.ordineincasso},
                            {QStringLiteral("Codlocale"), codLocale}});
}

// One day's refill document, written as the form leaves it after its last save of the day:
// the header with the day total, a row per machine, a log row per save and the two
// accounting entries.
void scriviGiorno(HostApplication& host, const QList<Apparecchio>& elenco, const QDate& data,
                  int giorno, bool chiuso) {
    QList<std::pair<const Apparecchio*, Valuta>> riforniti;
    Valuta totale;
    for (qsizetype posizione = 0; posizione < elenco.size(); ++posizione) {
        const Apparecchio& a = elenco.at(posizione);
        if (a.attiva == falso || a.tipologiaincasso != tipologiaRefill ||
            !rifornito(static_cast<int>(posizione), giorno))
            continue;
        const Valuta valore = importoRefill(static_cast<int>(posizione), giorno);
        riforniti.push_back({&a, valore});
        totale = totale + valore;
    }
    const QString operatore = operatori().at(giorno % operatori().size()).codice;
    // The round starts a little later each day; one save every seven minutes.
    const QTime inizio = QTime(9, 30).addSecs(giorno * 23 * 60);
    auto momento = [&](qsizetype indice) {
        return QDateTime(data, inizio.addSecs(static_cast<int>(indice) * 7 * 60));
    };
    const QDateTime ultimoSalvataggio = momento(riforniti.size() - 1);

    const RecordsetPtr testata = tabella(host, QStringLiteral("noteteste"));
    aggiungi(*testata, {{QStringLiteral("dataregistrazione"), data},
                        {QStringLiteral("Codlocale"), codLocale},
                        {QStringLiteral("codcausale"), QStringLiteral("REF")},
                        {QStringLiteral("codiceazienda"), QStringLiteral("Salagiochi")},
                        {QStringLiteral("idoperatore"), operatore},
                        {QStringLiteral("chiuso"), chiuso ? vero : falso},
                        {QStringLiteral("import"), falso},
                        {QStringLiteral("iddata"), ultimoSalvataggio},
                        {QStringLiteral("refillnoleggiatore"), importo(totale)}});
    const QVariant idTesta = testata->Field(QStringLiteral("id"));
    if (idTesta.isNull())
        throw Errore::database(QStringLiteral("la testata del %1 non ha ricevuto un id")
                                   .arg(data.toString(Qt::ISODate)));

    const RecordsetPtr righe = tabella(host, QStringLiteral("noteincassi"));
    const RecordsetPtr log = tabella(host, QStringLiteral("LogOperazioni"));
    for (qsizetype i = 0; i < riforniti.size(); ++i) {
        const Apparecchio& a = *riforniti.at(i).first;
        const Valuta valore = riforniti.at(i).second;
        const QDateTime quando = momento(i);
        aggiungi(*log,
                 {{QStringLiteral("iddata"), quando},
                  {QStringLiteral("idoperatore"), operatore},
                  {QStringLiteral("orario"), quando.time()},
                  {QStringLiteral("importo1"), testoDisplay(valore)},
                  {QStringLiteral("Descrizione"),
                   a.codiceinterno + QStringLiteral(" - ") + a.nomescheda + QStringLiteral(" - ") +
                       a.nomemobile + QStringLiteral(" - ") + a.codiceaams},
                  {QStringLiteral("operazione"), QStringLiteral("Inserimento Refill")}});
        aggiungi(*righe, {{QStringLiteral("idtesta"), idTesta},
                          {QStringLiteral("codarticolo"), QStringLiteral("newslot")},
                          {QStringLiteral("linkapparecchio"), QString::number(a.idapparecchio)},
                          {QStringLiteral("linkscheda"), a.idscheda},
                          {QStringLiteral("Codlocale"), codLocale},
                          {QStringLiteral("dataincasso"), data},
                          {QStringLiteral("tipoincasso"), a.tipologiaincasso},
                          {QStringLiteral("Descrizione"), a.codiceinterno + QStringLiteral(" - ") +
                                                              a.nomescheda + QStringLiteral(" - ") +
                                                              a.codiceaams},
                          {QStringLiteral("refillgestore"), importo(valore)},
                          {QStringLiteral("riga"), falso},
                          {QStringLiteral("catapparecchio"), a.categoria},
                          {QStringLiteral("idoperatore"), operatore},
                          {QStringLiteral("iddata"), quando}});
    }

    // The register's rows of the day, one per save; above € 500 the next operator witnessed.
    RegistroRefill registro(host);
    const QString testimone = operatori().at((giorno + 1) % operatori().size()).codice;
    for (qsizetype i = 0; i < riforniti.size(); ++i) {
        const Apparecchio& a = *riforniti.at(i).first;
        RigaRegistro r;
        r.codLocale = codLocale;
        r.anno = data.year();
        r.dataOra = momento(i);
        r.giornata = data;
        r.idScheda = a.idscheda;
        r.codiceInterno = a.codiceinterno;
        r.nomeScheda = a.nomescheda;
        r.codiceAams = a.codiceaams;
        r.dopo = riforniti.at(i).second;
        r.differenza = r.dopo;
        r.operatore = operatore;
        if (r.differenza > Valuta::daDecimillesimi(500'0000))
            r.testimone = testimone;
        registro.aggiungi(r);
    }

    // The pair the form writes: the day's total leaves the hall's cash for the refill account.
    const RecordsetPtr contabili = host.openrecordset(SqlTesti::righeContabili());
    const std::array<std::tuple<QString, QVariant, QVariant, QString>, 2> voci{
        std::tuple{QStringLiteral("Refill Hopper"), QVariant(falso), importo(totale),
                   contoCassaSala},
        std::tuple{QStringLiteral("Carico Hopper(Refill)"), importo(totale), QVariant(falso),
                   contoRefill}};
    qint16 riga = 1;
    for (const auto& [descrizione, dare, avere, conto] : voci)
        aggiungi(*contabili, {{QStringLiteral("idtesta"), idTesta},
                              {QStringLiteral("Data"), data},
                              {QStringLiteral("Descrizione"), descrizione},
                              {QStringLiteral("dare"), dare},
                              {QStringLiteral("avere"), avere},
                              {QStringLiteral("codconto"), conto},
                              {QStringLiteral("Codlocale"), codLocale},
                              {QStringLiteral("iddata"), ultimoSalvataggio},
                              {QStringLiteral("idoperatore"), operatore},
                              {QStringLiteral("riga"), riga++}});
}

} // namespace

void DatiDemo::riempi(HostApplication& host, const QDate& dataLavoro) {
    if (!dataLavoro.isValid())
        throw Errore::database(QStringLiteral("data di lavoro non valida"));
    if (host.openrecordset(SqlTesti::locali())->RecordCount() > 0)
        throw Errore::database(
            QStringLiteral("il database contiene già un locale: i dati dimostrativi "
                           "vanno solo in un database nuovo"));
    const QList<Apparecchio> elenco = apparecchi();
    scriviAnagrafiche(host);
    scriviApparecchi(host, elenco);
    // Oldest first, as they were entered; the oldest day has been closed since.
    for (int giorno = 0; giorno < giorniDiRefill; ++giorno)
        scriviGiorno(host, elenco, dataLavoro.addDays(giorno - giorniDiRefill), giorno,
                     giorno == 0);
    // The accountable refills are on in the demo hall: PIN pad, witnesses, slips, register.
    Operatori pin(host);
    for (const auto& operatore : operatori())
        pin.impostaPin(operatore.codice, operatore.pin);
    host.salvasettaggio(QStringLiteral("Refill"), QStringLiteral("Controlli"), 1);
}

} // namespace KaloRefill
