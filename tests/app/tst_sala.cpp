// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// A hall set up from nothing: the welcome makes its database, "Anagrafiche" fills it, the
// form saves a refill on it; machines from CSV files; backups, interrupted and restored.
// On the engine the test run chose (MotoreProva).
#include "ArchivioAnagrafiche.h"
#include "ConfigurazioneSala.h"
#include "CopiaSicurezza.h"
#include "FinestraAnagrafiche.h"
#include "FinestraBenvenuto.h"
#include "DbDiretto.h"
#include "MotoreProva.h"
#include "RisponditorePin.h"
#include "Supporto.h"
#include "controlli/Operatori.h"
#include "host/Errore.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QListWidget>

#include <csignal>
#include <functional>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

namespace {

const auto Si = RisponditoreBox::Risposta::Si;

template <typename W = QWidget> W* figlio(QObject* finestra, const char* nome) {
    W* w = finestra->findChild<W*>(QLatin1StringView(nome));
    if (!w)
        qFatal("Manca il controllo %s", nome);
    return w;
}

void scrivi(QObject* finestra, std::initializer_list<std::pair<const char*, QString>> campi) {
    for (const auto& [nome, valore] : campi)
        figlio<QLineEdit>(finestra, nome)->setText(valore);
}

// Every row of the hall's tables, in order, as text: two databases with the same rows
// give the same list.
QStringList istantanea(HostApplication& host) {
    QStringList righe;
    for (const char* tabella : {"noteteste", "noteincassi", "noterighe", "LogOperazioni",
                                "apparecchi", "anagraficalocali", "TabAssociazioneConti",
                                "operatori", "impostazioni"}) {
        const RecordsetPtr rs = host.openrecordset(u"select * from "_s + QLatin1StringView(tabella) +
                                                   u" order by id"_s);
        for (rs->RecordCount() > 0 ? rs->MoveFirst() : void(); !rs->Eof(); rs->MoveNext()) {
            QStringList campi{QLatin1StringView(tabella)};
            for (const QString& nome : rs->FieldNames())
                campi << rs->Field(nome).toString();
            righe << campi.join(u'|');
        }
    }
    return righe;
}

// The call is refused with an Errore that gives the reason.
void rifiutato(const std::function<void()>& f, const QString& motivo) {
    try {
        f();
    } catch (const Errore& e) {
        QVERIFY2(e.descrizione().contains(motivo), qPrintable(e.descrizione()));
        return;
    }
    QFAIL(qPrintable(u"Accettato: "_s + motivo));
}

int conta(HostApplication& host, const QString& sql) {
    return host.openrecordset(sql)->RecordCount();
}

QByteArray contenuto(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSala : public QObject {
    Q_OBJECT

    QTemporaryDir m_casa;

private slots:
    void initTestCase() {
        KALOREFILL_MOTORE_PRONTO();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_casa.filePath(u"config"_s)));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_casa.filePath(u"dati"_s)));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_casa.filePath(u"sistema"_s)));
        QCoreApplication::setApplicationName(u"kalorefill"_s);
    }
    void cleanup() {
        StatoModulo::istanza().applicazione.reset();
        StatoModulo::istanza().rsAssociazioneConti.reset();
    }

    void primoAvvioFinoAlRipristino();
    void configurazione();
    void importazioneCsv_data();
    void importazioneCsv();
    void copie();
};

// The welcome creates the hall's database (on a server: takes the empty one offered);
// "Anagrafiche" enters the venue, the two accounts, three machines and an operator; the
// form opens on them and saves a refill, after which the registers refuse what would
// break them; a backup taken then is restored over later work, once the cash desk has
// closed the database.
void TestSala::primoAvvioFinoAlRipristino() {
    QTemporaryDir cartella;
    RisponditoreBox box;
    FinestraBenvenuto benvenuto(OpzioniHost{QDate(2026, 12, 4), u"OP1"_s, {}}, u"/nessuna/demo.db"_s);
    benvenuto.show();
    QVERIFY(!figlio<QPushButton>(&benvenuto, "CmdApri")->isEnabled());
    QString database;
    if (MotoreProva::postgreSql()) {
        database = MotoreProva::nuovoDatabase(cartella.path());
        scrivi(&benvenuto, {{"txtServer", database}});
        box.rispondi({Si});
        figlio<QPushButton>(&benvenuto, "CmdCollegaServer")->click();
        QVERIFY2(box.testi().value(0).contains(u"è vuoto"), qPrintable(box.testi().join(u'\n')));
    } else {
        scrivi(&benvenuto, {{"txtCartella", cartella.filePath(u"sala"_s)}});
        figlio<QPushButton>(&benvenuto, "CmdCreaDatabase")->click();
        database = FinestraBenvenuto::fileSala(cartella.filePath(u"sala"_s));
    }
    QCOMPARE(benvenuto.scelta(), database);
    QCOMPARE(ConfigurazioneSala::database(), database);

    figlio<QPushButton>(&benvenuto, "CmdAnagrafiche")->click();
    auto* anagrafiche = benvenuto.findChild<FinestraAnagrafiche*>();
    QVERIFY(anagrafiche && anagrafiche->isVisible());
    const QString mancanze = figlio<QLabel>(anagrafiche, "LabMancanze")->text();
    for (const char* manca : {"il locale", "i due conti", "un apparecchio in servizio"})
        QVERIFY2(mancanze.contains(QLatin1StringView(manca)), qPrintable(mancanze));
    scrivi(anagrafiche, {{"txtCodiceLocale", u"SG07"_s}, {"txtNomeLocale", u"Sala Aurora"_s},
                         {"txtRagioneSociale", u"Aurora Giochi S.r.l."_s},
                         {"txtCassaSalaGiochi", u"C.01.001"_s}, {"txtCassaRefill", u"C.01.010"_s}});
    figlio<QPushButton>(anagrafiche, "CmdSalvaLocale")->click();
    figlio<QPushButton>(anagrafiche, "CmdSalvaConti")->click();
    const QList<QStringList> macchine{{u"A1"_s, u"Drago d'Oro"_s, u"AWP"_s},
                                      {u"A2"_s, u"Tre Ciliegie"_s, u"AWP"_s},
                                      {u"V1"_s, u"Gran Premio"_s, u"VLT"_s}};
    for (const QStringList& m : macchine) {
        figlio<QPushButton>(anagrafiche, "CmdNuovoApparecchio")->click();
        scrivi(anagrafiche, {{"txtCodiceApparecchio", m.at(0)}, {"txtNomeApparecchio", m.at(1)},
                             {"txtCodiceAdm", u"ADM-"_s + m.at(0)}});
        figlio<QComboBox>(anagrafiche, "CmbCategoria")->setCurrentText(m.at(2));
        figlio<QPushButton>(anagrafiche, "CmdSalvaApparecchio")->click();
    }
    scrivi(anagrafiche, {{"txtCodiceOperatore", u"OP1"_s}, {"txtNomeOperatore", u"Anna"_s}});
    figlio<QComboBox>(anagrafiche, "CmbRuolo")->setCurrentText(u"responsabile"_s);
    figlio<QPushButton>(anagrafiche, "CmdSalvaOperatore")->click();
    QVERIFY2(box.boxes().size() == (MotoreProva::postgreSql() ? 1 : 0), qPrintable(box.testi().join(u'\n')));
    QCOMPARE(figlio<QLabel>(anagrafiche, "LabMancanze")->text(), u"La sala è pronta per il primo refill."_s);
    const QPointer<FinestraAnagrafiche> chiusa(anagrafiche);
    figlio<QPushButton>(anagrafiche, "CmdChiudi")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!chiusa); // and with it its connection to the database
    figlio<QPushButton>(&benvenuto, "CmdApri")->click();
    QCOMPARE(benvenuto.result(), int(QDialog::Accepted));

    QStringList copiata;
    QString copia;
    {
        auto host = DatabaseHost::apri(database, OpzioniHost{QDate(2026, 12, 4), u"OP1"_s, {}});
        QCOMPARE(host->leggisettaggio(u"Refill"_s, u"Controlli"_s, 0), qint16(1));
        // Every change told who and what: 1 venue, 1 accounts, 3 machines, 1 operator.
        QCOMPARE(conta(*host, u"select * from LogOperazioni where operazione like 'Anagrafiche%'"_s), 6);
        host->salvasettaggio(u"Refill"_s, u"Salvataggio"_s, 0);
        StatoModulo::istanza().applicazione = host;
        // The new hall has the accountable refills on: the form opens on the PIN pad.
        Operatori(*host).impostaPin(u"OP1"_s, u"1234"_s);
        RisponditorePin pin;
        pin.rispondi({{u"OP1"_s, u"1234"_s}});
        auto form = std::make_unique<FrmRefill>();
        form->Form_Load();
        QCOMPARE(box.boxes().size(), MotoreProva::postgreSql() ? 1 : 0); // no warning at start-up
        salvaRefill(*form, 1, u"12,5"_s);
        const RecordsetPtr righe = host->openrecordset(u"select * from noteincassi"_s);
        QCOMPARE(righe->RecordCount(), 1);
        QCOMPARE(righe->Field(u"refillgestore"_s).toDouble(), 12.5);
        QCOMPARE(righe->Field(u"Descrizione"_s).toString(), u"A2 - Tre Ciliegie - ADM-A2"_s);
        QCOMPARE(conta(*host, u"select * from noterighe where codconto='C.01.010'"_s), 1);
        form.reset();
        StatoModulo::istanza().applicazione.reset();
        StatoModulo::istanza().rsAssociazioneConti.reset();

        // Codes stay unique; what has refills (A2, Anna) is taken out of service, never
        // deleted; the venue's code stays while refills use it; each change is logged with
        // the values before and after.
        ArchivioAnagrafiche archivio(*host);
        Apparecchio a2 = archivio.apparecchi().value(1);
        Apparecchio doppio = archivio.apparecchi().value(2);
        doppio.codice = u"a1"_s;
        rifiutato([&] { archivio.salvaApparecchio(doppio); }, u"il codice a1 è già dell'apparecchio \"Drago d'Oro\""_s);
        rifiutato([&] { archivio.salvaOperatore({0, u"op1"_s, u"Altro"_s, {}, u"operatore"_s, true}); },
                  u"già dell'operatore Anna"_s);
        rifiutato([&] { archivio.salvaOperatore({0, u"OP9"_s, u"Altro"_s, {}, u"capo"_s, true}); }, u"ruolo"_s);
        rifiutato([&] { archivio.eliminaApparecchio(a2.id); }, u"solo mettere fuori servizio"_s);
        rifiutato([&] { archivio.eliminaOperatore(archivio.operatori().value(0).id); }, u"solo togliere dal servizio"_s);
        rifiutato([&] { archivio.salvaLocale({u"SG02"_s, u"Sala"_s, {}}); }, u"codice SG07"_s);
        a2.inServizio = false;
        a2.nome = u"Tre Ciliegie Due"_s;
        archivio.salvaApparecchio(a2);
        archivio.eliminaApparecchio(doppio.id);
        QCOMPARE(archivio.apparecchi().size(), 2);
        QCOMPARE(archivio.apparecchi().value(1).inServizio, false);
        QCOMPARE(archivio.apparecchi().value(1).idscheda, a2.idscheda);
        const RecordsetPtr log = host->openrecordset(
            u"select * from LogOperazioni where operazione = 'Anagrafiche: modifica apparecchio'"_s);
        QCOMPARE(log->RecordCount(), 1);
        QCOMPARE(log->Field(u"notevarie"_s).toString(), u"Nome: Tre Ciliegie -> Tre Ciliegie Due; In servizio: sì -> no"_s);
        QCOMPARE(log->Field(u"idoperatore"_s).toString(), u"OP1"_s);
        QCOMPARE(conta(*host, u"select * from LogOperazioni where operazione = 'Anagrafiche: eliminazione apparecchio' "
                              u"and notevarie like 'Eliminato: Codice: V1%'"_s), 1);

        copia = CopiaSicurezza::esegui(database, cartella.path());
        copiata = istantanea(*host);
        host->Execute(u"delete * from noteincassi"_s);
        ArchivioAnagrafiche(*host).salvaOperatore({0, u"OP2"_s, u"Bruno"_s, {}, u"operatore"_s, true});
        const QStringList dopo = istantanea(*host);
        QVERIFY(dopo != copiata);
        // While a cash desk has the database open a restore is refused and changes nothing.
        rifiutato([&] { CopiaSicurezza::ripristina(database, copia, cartella.filePath(u"copie"_s)); },
                  u"aperto da un altro programma"_s);
        QCOMPARE(istantanea(*host), dopo);
    }
    const QString prima = CopiaSicurezza::ripristina(database, copia, cartella.filePath(u"copie"_s));
    QVERIFY(QFileInfo::exists(prima));
    auto host = DatabaseHost::apri(database);
    QCOMPARE(istantanea(*host), copiata);
}

// The user's file wins; what it leaves out comes from the administrator's file.
void TestSala::configurazione() {
    const QString sistema = m_casa.filePath(u"sistema/kalorefill/kalorefill.conf"_s);
    QDir().mkpath(QFileInfo(sistema).absolutePath());
    QFile::remove(ConfigurazioneSala::fileUtente());
    {
        QSettings file(sistema, QSettings::IniFormat);
        file.setValue(u"Sala/Database"_s, u"postgresql://cassa@server/sala"_s);
        file.setValue(u"Copie/DaTenere"_s, 30);
    }
    QCOMPARE(ConfigurazioneSala::database(), u"postgresql://cassa@server/sala"_s);
    QCOMPARE(ConfigurazioneSala::copieDaTenere(), 30);
    ConfigurazioneSala::setDatabase(u"/srv/sala.db"_s);
    QCOMPARE(ConfigurazioneSala::database(), u"/srv/sala.db"_s);
    QCOMPARE(ConfigurazioneSala::copieDaTenere(), 30);
    QVERIFY(ConfigurazioneSala::fileUtente().startsWith(m_casa.filePath(u"config"_s)));
    QFile::remove(sistema);
    QCOMPARE(ConfigurazioneSala::copieDaTenere(), ConfigurazioneSala::copiePredefinite);
}

void TestSala::importazioneCsv_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("accettati"); // code|name|ADM|category|order|in service
    QTest::addColumn<QStringList>("rifiutati");
    QTest::newRow("LibreOffice UTF-8")
        << "\xEF\xBB\xBF" "Codice;Nome;Codice ADM;Categoria;Ordine;In servizio\r\n"
           "A2;\"Re; dei \"\"Pirati\"\"\";ADM2;awp;5;sì\r\n"
           ";Senza codice;;;;\r\n"
           "\r\n"
           "V1;Città d'Oro;;VLT;;no\r\n"_ba
        << QStringList{u"A2|Re; dei \"Pirati\"|ADM2|AWP|5|1"_s, u"V1|Città d'Oro||VLT|6|0"_s}
        << QStringList{u"Riga 3: manca il codice"_s};
    QTest::newRow("Windows-1252, doppioni e valori sbagliati")
        << "codice;nome;categoria;tipo incasso;ordine\n"
           "B1;Citt\xE0 \x80 100;AWP;6;1\n"
           "b1;Altra;AWP;6;2\n"
           "A1;Gi\xE0 nel database;AWP;6;3\n"
           "C1;Poker;SLOT;6;4\n"
           "C2;Poker;AWP;sei;5\n"_ba
        << QStringList{u"B1|Città € 100||AWP|1|1"_s}
        << QStringList{u"Riga 3: il codice b1 è già dell'apparecchio \"Città € 100\""_s,
                       u"Riga 4: il codice A1 è già dell'apparecchio \"Slot\""_s,
                       u"Riga 5: categoria \"SLOT\" non valida (AWP o VLT)"_s,
                       u"Riga 6: tipo incasso \"sei\" non è un numero"_s};
    QTest::newRow("senza intestazioni") << "A1;Slot;AWP\n"_ba << QStringList{} << QStringList{};
}

// What a file would add and why each refused row is refused, before anything is written;
// confirmed, every accepted machine goes in; a file without headings is refused whole.
void TestSala::importazioneCsv() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, accettati);
    QFETCH(QStringList, rifiutati);
    QTemporaryDir cartella;
    auto host = DatabaseHost::crea(MotoreProva::nuovoDatabase(cartella.path()));
    ArchivioAnagrafiche archivio(*host);
    archivio.salvaApparecchio({0, 0, u"A1"_s, u"Slot"_s, {}, {}, u"AWP"_s, 6, 5, true});
    const QString percorso = cartella.filePath(u"apparecchi.csv"_s);
    QFile scritto(percorso);
    QVERIFY(scritto.open(QIODevice::WriteOnly) && scritto.write(file) == file.size());
    scritto.close();

    RisponditoreBox box;
    FinestraAnagrafiche finestra(host);
    finestra.show();
    finestra.importaDaFile(percorso);
    auto* anteprima = finestra.findChild<QDialog*>(u"FrmImportaApparecchi"_s);
    QVERIFY(anteprima && anteprima->isVisible());
    QStringList righeRifiutate;
    for (int r = 0; r < figlio<QListWidget>(anteprima, "LstRifiutati")->count(); ++r)
        righeRifiutate << figlio<QListWidget>(anteprima, "LstRifiutati")->item(r)->text();
    QCOMPARE(righeRifiutate, rifiutati);
    QCOMPARE(archivio.apparecchi().size(), 1); // nothing written before the confirmation
    QCOMPARE(figlio<QPushButton>(anteprima, "CmdConfermaImportazione")->isEnabled(), !accettati.isEmpty());
    if (accettati.isEmpty()) {
        QVERIFY(figlio<QLabel>(anteprima, "LabRiepilogo")->text().contains(u"intestazioni"));
        return;
    }
    figlio<QPushButton>(anteprima, "CmdConfermaImportazione")->click();
    QVERIFY(box.boxes().isEmpty());
    QStringList importati;
    for (const Apparecchio& a : archivio.apparecchi())
        if (a.codice != u"A1")
            importati << QStringList{a.codice, a.nome, a.codiceAdm, a.categoria, QString::number(a.ordine),
                                     QString::number(a.inServizio)}
                             .join(u'|');
    importati.sort();
    accettati.sort();
    QCOMPARE(importati, accettati);
}

// One copy a day, checked; only the newest ones kept; what an interrupted copy left is
// cleared. A copy killed halfway leaves the database and the earlier copies as they were,
// and no file under a copy's name that is not a whole, sound copy.
void TestSala::copie() {
    QTemporaryDir cartella;
    const QString database = MotoreProva::nuovoDatabase(cartella.path());
    DatabaseHost::crea(database)->Execute(u"insert into anagraficalocali (Codlocale) values ('SG01')"_s);
    const QString copie = cartella.filePath(u"copie"_s);
    QDir().mkpath(copie);
    QFile resto(copie + u"/kalorefill_2026-11-30_235959.db.parziale"_s);
    QVERIFY(resto.open(QIODevice::WriteOnly));
    resto.close();
    for (int giorno = 1; giorno <= 5; ++giorno)
        QVERIFY(!CopiaSicurezza::giornaliera(database, copie, 3, QDate(2026, 12, giorno)).isEmpty());
    QVERIFY(CopiaSicurezza::giornaliera(database, copie, 3, QDate(2026, 12, 5)).isEmpty());
    const QStringList rimaste = QDir(copie).entryList(QDir::Files, QDir::Name);
    QCOMPARE(rimaste.size(), 3);
    for (int i = 0; i < 3; ++i)
        QVERIFY2(rimaste.at(i).startsWith(u"kalorefill_2026-12-0%1_"_s.arg(i + 3)), qPrintable(rimaste.at(i)));

    // Big enough for the next copy to be caught while it is written.
    QVERIFY(DbDiretto(database).esegui({MotoreProva::postgreSql()
                                   ? u"insert into noteincassi (idtesta, descrizione) select x, "
                                     u"repeat('riga di prova ', 20) || x from generate_series(1, 150000) x"_s
                                   : u"with recursive c(x) as (select 1 union all select x + 1 from c "
                                     u"where x < 150000) insert into noteincassi (idtesta, Descrizione) "
                                     u"select x, printf('%.280c%d', 'r', x) from c"_s}));
    const QString precedente = QDir(copie).filePath(rimaste.last());
    const QByteArray bytePrecedenti = contenuto(precedente);
    QProcess processo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"HOME"_s, cartella.path());
    processo.setProcessEnvironment(env);
    processo.start(QStringLiteral(KALOREFILL_PROGRAMMA),
                   {u"--database"_s, database, u"--backup"_s, copie});
    QVERIFY(processo.waitForStarted());
    // Killed as soon as the copy is being written (or at its end, on a fast disk).
    bool interrotta = false;
    while (!processo.waitForFinished(1)) {
        if (!QDir(copie).entryList({u"*.parziale"_s}, QDir::Files).isEmpty()) {
            ::kill(pid_t(processo.processId()), SIGKILL);
            interrotta = true;
            processo.waitForFinished();
            break;
        }
    }
    qInfo("copia interrotta: %s", interrotta ? "sì" : "no (finita prima)");
    QCOMPARE(contenuto(precedente), bytePrecedenti);
    const QStringList scritte = QDir(copie).entryList({u"kalorefill_*"_s}, QDir::Files);
    for (const QString& nome : scritte)
        if (!nome.contains(u".parziale")) // the killed copy's own files
            CopiaSicurezza::verifica(QDir(copie).filePath(nome), MotoreProva::postgreSql());
    auto host = DatabaseHost::apri(database);
    QCOMPARE(conta(*host, u"select * from noteincassi"_s), 150000);
    if (!MotoreProva::postgreSql())
        QCOMPARE(DatabaseHost::controllaIntegrita(database), QString());
    // The next copy is not hindered by what the killed one left.
    CopiaSicurezza::verifica(CopiaSicurezza::esegui(database, copie), MotoreProva::postgreSql());
}

QTEST_MAIN(TestSala)
#include "tst_sala.moc"
