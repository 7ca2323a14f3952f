// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ArgomentiProgramma.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QRegularExpression>

#include <utility>

namespace KaloRefill {

namespace {

const QString opzioneDatabase = QStringLiteral("database");
const QString opzioneData = QStringLiteral("date");
const QString opzioneUtente = QStringLiteral("user");
const QString opzioneNonModale = QStringLiteral("modeless");
const QString opzioneVersione = QStringLiteral("version");
const QString opzioneAiuto = QStringLiteral("help");
const QString opzioneRiepilogo = QStringLiteral("riepilogo");
const QString opzioneRegistro = QStringLiteral("registro");
const QString opzioneDal = QStringLiteral("dal");
const QString opzioneAl = QStringLiteral("al");
const QString opzioneVerifica = QStringLiteral("verifica");
const QString opzioneRipara = QStringLiteral("ripara");
const QString opzioneCreaDatabase = QStringLiteral("crea-database");
const QString opzioneDemo = QStringLiteral("demo");
const QString opzioneConfigura = QStringLiteral("configura");
const QString opzioneAnagrafiche = QStringLiteral("anagrafiche");
const QString opzioneImporta = QStringLiteral("importa-apparecchi");
const QString opzioneBackup = QStringLiteral("backup");
const QString opzioneRipristina = QStringLiteral("ripristina");

QStringList opzioniConValore() {
    return {opzioneDatabase, opzioneData,   opzioneUtente,  opzioneDal,       opzioneAl,
            opzioneCreaDatabase, opzioneImporta, opzioneBackup, opzioneRipristina};
}

// "-x", "--x", "--x=..." name the option x; anything else names none.
QString nomeOpzione(const QString& argomento) {
    if (!argomento.startsWith(QLatin1Char('-')) || argomento == QLatin1String("-") ||
        argomento == QLatin1String("--"))
        return {};
    QString nome = argomento.mid(argomento.startsWith(QLatin1String("--")) ? 2 : 1);
    return nome.left(nome.indexOf(QLatin1Char('=')));
}

// QCommandLineParser only says what went wrong in English; the operator gets it in Italian.
QString spiegaErrore(const QCommandLineParser& parser, const QStringList& argomenti) {
    const QStringList sconosciute = parser.unknownOptionNames();
    if (!sconosciute.isEmpty()) {
        const QString& nome = sconosciute.constFirst();
        return QStringLiteral("opzione sconosciuta: %1%2")
            .arg(nome.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), nome);
    }
    for (qsizetype i = 1; i < argomenti.size(); ++i) {
        const QString nome = nomeOpzione(argomenti.at(i));
        if (nome.isEmpty())
            continue;
        const bool haUguale = argomenti.at(i).contains(QLatin1Char('='));
        if (opzioniConValore().contains(nome) && !haUguale && i + 1 == argomenti.size())
            return QStringLiteral("manca il valore dell'opzione --%1").arg(nome);
        if (!opzioniConValore().contains(nome) && haUguale)
            return QStringLiteral("l'opzione --%1 non vuole un valore").arg(nome);
    }
    return QStringLiteral("riga di comando non valida");
}

// Only the full form: "2025-3-4" or "4/3/2025" would be guesses about the operator's intent.
// Only the dates the database and the date field hold: from 1900 to 9999.
QDate leggiData(const QString& testo) {
    static const QRegularExpression forma(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!forma.match(testo).hasMatch())
        return {};
    const QDate data = QDate::fromString(testo, QStringLiteral("yyyy-MM-dd"));
    return data >= QDate(1900, 1, 1) && data <= QDate(9999, 12, 31) ? data : QDate();
}

QString dataNonValida(const QString& testo) {
    if (QDate::fromString(testo, QStringLiteral("yyyy-MM-dd")).isValid() && !leggiData(testo).isValid())
        return QStringLiteral("data fuori intervallo: \"%1\" (dal 1900-01-01 al 9999-12-31)").arg(testo);
    return QStringLiteral("data non valida: \"%1\" (usare AAAA-MM-GG)").arg(testo);
}

} // namespace

ArgomentiProgramma ArgomentiProgramma::errore(const QString& messaggio) {
    ArgomentiProgramma risultato;
    risultato.m_azione = Azione::Errore;
    risultato.m_errore = messaggio;
    return risultato;
}

ArgomentiProgramma ArgomentiProgramma::analizza(const QStringList& argomenti) {
    QCommandLineParser parser;
    // "-database" is the long option mistyped, not seven short ones.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(QCommandLineOption(opzioneDatabase, QString(), QStringLiteral("percorso")));
    parser.addOption(QCommandLineOption(opzioneData, QString(), QStringLiteral("data")));
    parser.addOption(QCommandLineOption(opzioneUtente, QString(), QStringLiteral("nome")));
    parser.addOption(QCommandLineOption(opzioneNonModale));
    parser.addOption(QCommandLineOption(opzioneVersione));
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), opzioneAiuto}));
    parser.addOption(QCommandLineOption(opzioneRiepilogo));
    parser.addOption(QCommandLineOption(opzioneRegistro));
    parser.addOption(QCommandLineOption(opzioneDal, QString(), QStringLiteral("data")));
    parser.addOption(QCommandLineOption(opzioneAl, QString(), QStringLiteral("data")));
    parser.addOption(QCommandLineOption(opzioneVerifica));
    parser.addOption(QCommandLineOption(opzioneRipara));
    parser.addOption(
        QCommandLineOption(opzioneCreaDatabase, QString(), QStringLiteral("destinazione")));
    parser.addOption(QCommandLineOption(opzioneDemo));
    parser.addOption(QCommandLineOption(opzioneConfigura));
    parser.addOption(QCommandLineOption(opzioneAnagrafiche));
    parser.addOption(QCommandLineOption(opzioneImporta, QString(), QStringLiteral("file")));
    parser.addOption(QCommandLineOption(opzioneBackup, QString(), QStringLiteral("destinazione")));
    parser.addOption(QCommandLineOption(opzioneRipristina, QString(), QStringLiteral("file")));

    if (!parser.parse(argomenti))
        return errore(spiegaErrore(parser, argomenti));
    // Only --verifica and --ripara take words of their own: the period, DAL AL.
    const bool controllo = parser.isSet(opzioneVerifica) || parser.isSet(opzioneRipara);
    const QStringList posizionali = parser.positionalArguments();
    if (!posizionali.isEmpty() && !controllo)
        return errore(QStringLiteral("argomento inatteso: %1").arg(posizionali.constFirst()));
    if (parser.isSet(opzioneVerifica) && parser.isSet(opzioneRipara))
        return errore(QStringLiteral("--verifica e --ripara non vanno insieme"));
    if (controllo && posizionali.size() != 0 && posizionali.size() != 2)
        return errore(QStringLiteral("il periodo va indicato con due date: DAL AL (AAAA-MM-GG)"));
    for (const QString& nome : opzioniConValore()) {
        if (parser.values(nome).size() > 1)
            return errore(QStringLiteral("l'opzione --%1 è indicata più volte").arg(nome));
    }

    ArgomentiProgramma risultato;
    if (parser.isSet(opzioneAiuto)) {
        risultato.m_azione = Azione::MostraAiuto;
        return risultato;
    }
    if (parser.isSet(opzioneVersione)) {
        risultato.m_azione = Azione::MostraVersione;
        return risultato;
    }

    if (parser.isSet(opzioneDatabase)) {
        risultato.m_database = parser.value(opzioneDatabase);
        if (risultato.m_database.isEmpty())
            return errore(QStringLiteral("il percorso del database è vuoto"));
    }
    if (parser.isSet(opzioneData)) {
        const QString testo = parser.value(opzioneData);
        risultato.m_data = leggiData(testo);
        if (!risultato.m_data.isValid())
            return errore(dataNonValida(testo));
    }
    if (parser.isSet(opzioneUtente)) {
        risultato.m_utente = parser.value(opzioneUtente).trimmed();
        if (risultato.m_utente.isEmpty())
            return errore(QStringLiteral("il nome dell'operatore è vuoto"));
    }
    risultato.m_nonModale = parser.isSet(opzioneNonModale);
    // The hall's own tasks: one at a time, on the configured database or --database.
    const std::pair<QString, Azione> compiti[] = {
        {opzioneConfigura, Azione::Configura},     {opzioneAnagrafiche, Azione::Anagrafiche},
        {opzioneImporta, Azione::ImportaApparecchi}, {opzioneBackup, Azione::Backup},
        {opzioneRipristina, Azione::Ripristina}};
    QStringList chiesti;
    for (const auto& [nome, azione] : compiti)
        if (parser.isSet(nome)) {
            chiesti.append(QStringLiteral("--") + nome);
            risultato.m_azione = azione;
        }
    if (!chiesti.isEmpty()) {
        if (chiesti.size() > 1 || controllo || parser.isSet(opzioneCreaDatabase) ||
            parser.isSet(opzioneRiepilogo))
            return errore(QStringLiteral("%1 va usata da sola (al più con --database e --user)")
                              .arg(chiesti.constFirst()));
        if (risultato.m_azione == Azione::Configura && parser.isSet(opzioneDatabase))
            return errore(QStringLiteral("--configura sceglie il database: non va con --database"));
        for (const QString& nome : {opzioneImporta, opzioneBackup, opzioneRipristina})
            if (parser.isSet(nome)) {
                risultato.m_file = parser.value(nome);
                if (risultato.m_file.isEmpty())
                    return errore(QStringLiteral("manca il file di --%1").arg(nome));
            }
        return risultato;
    }
    if (parser.isSet(opzioneDemo) && parser.isSet(opzioneDatabase))
        return errore(QStringLiteral("--demo e --database non vanno insieme"));
    risultato.m_demo = parser.isSet(opzioneDemo);
    if (parser.isSet(opzioneCreaDatabase)) {
        if (controllo || parser.isSet(opzioneDatabase))
            return errore(QStringLiteral("--crea-database non va insieme a --database, "
                                         "--verifica o --ripara"));
        risultato.m_creaDatabase = parser.value(opzioneCreaDatabase);
        if (risultato.m_creaDatabase.isEmpty())
            return errore(QStringLiteral("la destinazione del nuovo database è vuota"));
        risultato.m_demo = parser.isSet(opzioneDemo);
        risultato.m_azione = Azione::CreaDatabase;
        return risultato;
    }
    if (controllo) {
        risultato.m_azione = parser.isSet(opzioneVerifica) ? Azione::Verifica : Azione::Ripara;
        if (posizionali.size() == 2) {
            risultato.m_dal = leggiData(posizionali.at(0));
            risultato.m_al = leggiData(posizionali.at(1));
            for (const QString& testo : posizionali)
                if (!leggiData(testo).isValid())
                    return errore(dataNonValida(testo));
            if (risultato.m_dal > risultato.m_al)
                return errore(QStringLiteral("il periodo finisce prima di cominciare"));
        }
    }
    risultato.m_riepilogo = parser.isSet(opzioneRiepilogo);
    if (risultato.m_riepilogo && controllo)
        return errore(QStringLiteral("--riepilogo non va insieme a --verifica o --ripara"));
    risultato.m_registro = parser.isSet(opzioneRegistro);
    if (risultato.m_registro && (controllo || risultato.m_riepilogo))
        return errore(QStringLiteral("--registro non va insieme a --riepilogo, --verifica o --ripara"));
    for (const QString& nome : {opzioneDal, opzioneAl}) {
        if (!parser.isSet(nome))
            continue;
        if (!risultato.m_registro && (!risultato.m_riepilogo || controllo))
            return errore(QStringLiteral("l'opzione --%1 vale solo con --riepilogo").arg(nome));
        const QDate data = leggiData(parser.value(nome));
        if (!data.isValid())
            return errore(dataNonValida(parser.value(nome)));
        (nome == opzioneDal ? risultato.m_dal : risultato.m_al) = data;
    }
    if (risultato.m_dal.isValid() && risultato.m_al.isValid() && risultato.m_dal > risultato.m_al)
        return errore(QStringLiteral("il periodo finisce prima di cominciare (--dal dopo --al)"));
    return risultato;
}

QString ArgomentiProgramma::testoAiuto(const QString& percorsoDemo) {
    return QStringLiteral(
               "Uso: kalorefill [opzioni]\n"
               "Apre la Gestione Refill (ricariche degli hopper) su un database KaloRefill.\n"
               "\n"
               "Opzioni:\n"
               "  --database PERCORSO  il database da aprire, un file o un indirizzo\n"
               "                       postgresql://utente@server:porta/database (la password\n"
               "                       in ~/.pgpass o in PGPASSWORD, mai sulla riga di\n"
               "                       comando); senza, quello scelto al primo avvio\n"
               "                       (~/.config/kalorefill/kalorefill.conf) o il database\n"
               "                       dimostrativo %1\n"
               "  --crea-database DEST crea un database KaloRefill vuoto: un file nuovo o un\n"
               "                       database vuoto su un server postgresql://...\n"
               "  --demo               apre la sala dimostrativa; con --crea-database, riempie\n"
               "                       il nuovo database con la sala dimostrativa\n"
               "  --date AAAA-MM-GG    la data di lavoro (predefinita: oggi)\n"
               "  --user NOME          l'operatore al lavoro (predefinito: l'utente di sistema)\n"
               "  --modeless           apre la finestra non modale\n"
               "  --riepilogo          apre il Riepilogo Refill di un periodo invece della\n"
               "                       Gestione Refill\n"
               "  --dal AAAA-MM-GG     con --riepilogo: il primo giorno (predefinito: il primo\n"
               "                       del mese della data di lavoro)\n"
               "  --al AAAA-MM-GG      con --riepilogo: l'ultimo giorno (predefinito: la data\n"
               "                       di lavoro)\n"
               "  --registro           apre il Registro buoni (numeri dei buoni, stato,\n"
               "                       totali per operatore e testimone); --dal e --al come\n"
               "                       per --riepilogo\n"
               "  --verifica [DAL AL]  elenca i documenti refill incoerenti (totale della\n"
               "                       testata, scritture contabili, testate doppie) ed esce\n"
               "                       con 1 se ne trova\n"
               "  --ripara [DAL AL]    corregge quei documenti, uno per transazione, e annota\n"
               "                       ogni correzione nel registro delle operazioni\n"
               "  --configura          riapre la scelta del database della sala (nuovo file,\n"
               "                       server PostgreSQL o sala dimostrativa)\n"
               "  --anagrafiche        apre le Anagrafiche: locale, conti, apparecchi, operatori\n"
               "  --importa-apparecchi FILE.csv\n"
               "                       importa gli apparecchi da un file CSV (con anteprima)\n"
               "  --backup DEST        scrive una copia di sicurezza controllata del database\n"
               "                       (un file nuovo o una cartella)\n"
               "  --ripristina FILE    sostituisce il database con una copia, dopo conferma e\n"
               "                       dopo averne salvato una copia; solo a casse chiuse\n"
               "  --version            mostra la versione del modulo ed esce\n"
               "  -h, --help           mostra questo aiuto ed esce\n")
        .arg(percorsoDemo);
}

} // namespace KaloRefill
