// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ParametriServer.h"

#include "host/Errore.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

namespace KaloRefill {

namespace {

Errore indirizzoNonValido(const QString& motivo) {
    return Errore::database(
        QStringLiteral("Indirizzo del server PostgreSQL non valido: %1.").arg(motivo));
}

// Options a user may add to the address; anything else is a mistake worth telling.
bool opzioneAmmessa(const QString& nome) {
    for (QStringView ammessa :
         {u"sslmode", u"sslrootcert", u"sslcert", u"sslkey", u"sslcrl", u"connect_timeout",
          u"application_name", u"target_session_attrs", u"keepalives", u"keepalives_idle",
          u"keepalives_interval", u"keepalives_count", u"tcp_user_timeout", u"gssencmode",
          u"options"})
        if (nome == ammessa)
            return true;
    return false;
}

// A port, or a list of them for a list of hosts ("5432,5433"); empty when not valid.
QString porteValide(const QString& testo) {
    const QStringList porte = testo.split(QLatin1Char(','));
    for (const QString& porta : porte) {
        bool ok = false;
        const int numero = porta.toInt(&ok);
        if (!ok || numero <= 0 || numero > 65535)
            return {};
    }
    return testo;
}

// libpq lets an address name several servers, tried in turn ("host1:5432,host2:5433"):
// with target_session_attrs=read-write a standby promoted after a failover is found by the
// same address. QUrl reads one host only, so the list is taken out of the address here and
// the rest read as usual. Null host list when the address names one server.
struct ElencoServer {
    QString indirizzo;
    QString host;
    QString porte;
};

ElencoServer separaElencoServer(const QString& indirizzo) {
    const qsizetype inizio = indirizzo.indexOf(u"://") + 3;
    qsizetype fine = inizio;
    while (fine < indirizzo.size() && indirizzo.at(fine) != u'/' && indirizzo.at(fine) != u'?')
        ++fine;
    const QString autorita = indirizzo.mid(inizio, fine - inizio);
    const qsizetype chiocciola = autorita.lastIndexOf(u'@');
    const QString server = autorita.mid(chiocciola + 1);
    if (!server.contains(u','))
        return {indirizzo, {}, {}};
    QStringList host;
    QStringList porte;
    for (const QString& voce : server.split(u',')) {
        const qsizetype duePunti = voce.lastIndexOf(u':');
        host.append(duePunti < 0 ? voce : voce.left(duePunti));
        porte.append(duePunti < 0 ? QStringLiteral("5432") : voce.mid(duePunti + 1));
    }
    const QString resto = indirizzo.left(inizio) + autorita.left(chiocciola + 1) +
                          QStringLiteral("elenco") + indirizzo.mid(fine);
    return {resto, host.join(u','), porte.join(u',')};
}

// The address changed by `modifica` as a QUrl, any list of servers kept as it was.
template <typename Modifica> QString conElencoServer(const QString& indirizzo, Modifica modifica) {
    const ElencoServer elenco = separaElencoServer(indirizzo);
    QUrl url(elenco.indirizzo);
    modifica(url);
    QString risultato = url.toString(QUrl::RemovePassword);
    if (elenco.host.isNull())
        return risultato;
    const QStringList host = elenco.host.split(u',');
    const QStringList porte = elenco.porte.split(u',');
    QStringList voci;
    for (qsizetype i = 0; i < host.size(); ++i)
        voci.append(host.at(i) + QLatin1Char(':') + porte.value(i));
    return risultato.replace(QStringLiteral("@elenco"), QLatin1Char('@') + voci.join(u','))
        .replace(QStringLiteral("//elenco"), QStringLiteral("//") + voci.join(u','));
}

} // namespace

const QString ParametriServer::nomeApplicazione = QStringLiteral("KaloRefill");

bool ParametriServer::eIndirizzo(const QString& testo) {
    return testo.startsWith(u"postgresql://", Qt::CaseInsensitive) ||
           testo.startsWith(u"postgres://", Qt::CaseInsensitive);
}

QString ParametriServer::mostrabile(const QString& testo) {
    if (!eIndirizzo(testo))
        return testo;
    return conElencoServer(testo, [](QUrl& url) {
        QUrlQuery query(url);
        query.removeAllQueryItems(QStringLiteral("password"));
        url.setQuery(query);
    });
}

ParametriServer ParametriServer::leggi(const QString& indirizzo) {
    if (!eIndirizzo(indirizzo))
        throw indirizzoNonValido(QStringLiteral("deve iniziare con postgresql://"));
    const ElencoServer elenco = separaElencoServer(indirizzo);
    const QUrl url(elenco.indirizzo, QUrl::StrictMode);
    if (!url.isValid())
        throw indirizzoNonValido(url.errorString());
    if (!url.password().isEmpty())
        throw indirizzoNonValido(
            QStringLiteral("la password non va scritta nell'indirizzo; metterla in ~/.pgpass "
                           "o nella variabile PGPASSWORD"));

    ParametriServer p;
    p.m_host = elenco.host.isNull() ? url.host(QUrl::FullyDecoded) : elenco.host;
    p.m_porta = url.port(-1);
    QString porte = elenco.porte;
    p.m_utente = url.userName(QUrl::FullyDecoded);
    p.m_database = url.path(QUrl::FullyDecoded);
    if (p.m_database.startsWith(QLatin1Char('/')))
        p.m_database.remove(0, 1);
    if (p.m_database.contains(QLatin1Char('/')))
        throw indirizzoNonValido(QStringLiteral("il nome del database non può contenere '/'"));

    QStringList opzioni;
    bool attesa = false;
    bool nomeProgramma = false;
    const QUrlQuery query(url);
    for (const auto& [nome, valore] : query.queryItems(QUrl::FullyDecoded)) {
        if (nome == u"host") {
            p.m_host = valore;
        } else if (nome == u"port") {
            porte = valore;
        } else if (nome == u"user") {
            p.m_utente = valore;
        } else if (nome == u"dbname") {
            p.m_database = valore;
        } else if (nome == u"password" || nome == u"passfile") {
            throw indirizzoNonValido(
                QStringLiteral("la password non va scritta nell'indirizzo; metterla in "
                               "~/.pgpass o nella variabile PGPASSWORD"));
        } else if (opzioneAmmessa(nome)) {
            if (valore.contains(QLatin1Char(';')) || valore.contains(QLatin1Char(' ')))
                throw indirizzoNonValido(QStringLiteral("valore di %1").arg(nome));
            opzioni.append(nome + QLatin1Char('=') + valore);
            attesa = attesa || nome == u"connect_timeout";
            nomeProgramma = nomeProgramma || nome == u"application_name";
        } else {
            throw indirizzoNonValido(QStringLiteral("opzione sconosciuta \"%1\"").arg(nome));
        }
    }
    if (!porte.isNull()) {
        if (porteValide(porte).isEmpty())
            throw indirizzoNonValido(QStringLiteral("porta \"%1\"").arg(porte));
        // One port for every host goes the usual way; a list only as an option.
        if (porte.contains(u','))
            opzioni.append(QStringLiteral("port=") + porte);
        else
            p.m_porta = porte.toInt();
    }
    if (p.m_host.count(u',') + 1 < porte.count(u',') + 1)
        throw indirizzoNonValido(QStringLiteral("più porte che server"));
    // An unreachable server is told in seconds, not after the system's TCP timeout.
    if (!attesa)
        opzioni.append(QStringLiteral("connect_timeout=10"));
    // A connection whose network has gone (a cable, a router, a sleeping VPN) is noticed
    // within about ten seconds rather than after the system's quarter of an hour: probes on
    // an idle connection, and a limit on data left unacknowledged.
    for (const auto& [nome, valore] : {std::pair{u"keepalives", u"1"}, std::pair{u"keepalives_idle", u"5"},
                                       std::pair{u"keepalives_interval", u"2"},
                                       std::pair{u"keepalives_count", u"3"},
                                       std::pair{u"tcp_user_timeout", u"10000"}})
        if (!query.hasQueryItem(QString::fromUtf16(nome)))
            opzioni.append(QString::fromUtf16(nome) + QLatin1Char('=') + QString::fromUtf16(valore));
    // The server then tells which of its sessions are cash desks (a restore waits for
    // them to close).
    if (!nomeProgramma)
        opzioni.append(QStringLiteral("application_name=") + nomeApplicazione);
    p.m_opzioni = opzioni.join(QLatin1Char(';'));

    p.m_descrizione = mostrabile(indirizzo);
    return p;
}

QString ParametriServer::descrizione() const {
    return m_descrizione;
}

QString ParametriServer::server() const {
    // What the address leaves out the client library takes from its defaults.
    const QString host = !m_host.isEmpty() ? m_host
                         : qEnvironmentVariableIsEmpty("PGHOST") ? QStringLiteral("localhost")
                                                                 : qEnvironmentVariable("PGHOST");
    const int porta = m_porta > 0 ? m_porta
                      : qEnvironmentVariableIntValue("PGPORT") > 0 ? qEnvironmentVariableIntValue("PGPORT")
                                                                   : 5432;
    return host + QLatin1Char(':') + QString::number(porta);
}

void ParametriServer::applica(QSqlDatabase& db) const {
    db.setHostName(m_host);
    db.setPort(m_porta);
    db.setUserName(m_utente);
    db.setDatabaseName(m_database);
    db.setPassword(QString());
    db.setConnectOptions(m_opzioni);
}

ParametriServer ParametriServer::conDatabase(const QString& database) const {
    ParametriServer altro = *this;
    altro.m_database = database;
    altro.m_descrizione = conElencoServer(m_descrizione, [&database](QUrl& url) {
        url.setPath(QLatin1Char('/') + database);
        QUrlQuery query(url);
        query.removeAllQueryItems(QStringLiteral("dbname"));
        url.setQuery(query);
    });
    return altro;
}

} // namespace KaloRefill
