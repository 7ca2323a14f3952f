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
    for (QStringView ammessa : {u"sslmode", u"sslrootcert", u"sslcert", u"sslkey",
                                u"connect_timeout", u"application_name", u"target_session_attrs",
                                u"keepalives", u"keepalives_idle", u"keepalives_interval",
                                u"keepalives_count", u"tcp_user_timeout", u"gssencmode", u"options"})
        if (nome == ammessa)
            return true;
    return false;
}

} // namespace

bool ParametriServer::eIndirizzo(const QString& testo) {
    return testo.startsWith(u"postgresql://", Qt::CaseInsensitive) ||
           testo.startsWith(u"postgres://", Qt::CaseInsensitive);
}

QString ParametriServer::mostrabile(const QString& testo) {
    if (!eIndirizzo(testo))
        return testo;
    QUrl url(testo);
    QUrlQuery query(url);
    query.removeAllQueryItems(QStringLiteral("password"));
    url.setQuery(query);
    return url.toString(QUrl::RemovePassword);
}

ParametriServer ParametriServer::leggi(const QString& indirizzo) {
    if (!eIndirizzo(indirizzo))
        throw indirizzoNonValido(QStringLiteral("deve iniziare con postgresql://"));
    const QUrl url(indirizzo, QUrl::StrictMode);
    if (!url.isValid())
        throw indirizzoNonValido(url.errorString());
    if (!url.password().isEmpty())
        throw indirizzoNonValido(
            QStringLiteral("la password non va scritta nell'indirizzo; metterla in ~/.pgpass "
                           "o nella variabile PGPASSWORD"));

    ParametriServer p;
    p.m_host = url.host(QUrl::FullyDecoded);
    p.m_porta = url.port(-1);
    p.m_utente = url.userName(QUrl::FullyDecoded);
    p.m_database = url.path(QUrl::FullyDecoded);
    if (p.m_database.startsWith(QLatin1Char('/')))
        p.m_database.remove(0, 1);
    if (p.m_database.contains(QLatin1Char('/')))
        throw indirizzoNonValido(QStringLiteral("il nome del database non può contenere '/'"));

    QStringList opzioni;
    bool attesa = false;
    const QUrlQuery query(url);
    for (const auto& [nome, valore] : query.queryItems(QUrl::FullyDecoded)) {
        if (nome == u"host") {
            p.m_host = valore;
        } else if (nome == u"port") {
            bool ok = false;
            p.m_porta = valore.toInt(&ok);
            if (!ok || p.m_porta <= 0 || p.m_porta > 65535)
                throw indirizzoNonValido(QStringLiteral("porta \"%1\"").arg(valore));
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
        } else {
            throw indirizzoNonValido(QStringLiteral("opzione sconosciuta \"%1\"").arg(nome));
        }
    }
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
    p.m_opzioni = opzioni.join(QLatin1Char(';'));

    QUrl mostrato = url;
    mostrato.setPassword(QString());
    p.m_descrizione = mostrato.toString(QUrl::RemovePassword);
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
    QUrl url(m_descrizione);
    url.setPath(QLatin1Char('/') + database);
    QUrlQuery query(url);
    query.removeAllQueryItems(QStringLiteral("dbname"));
    url.setQuery(query);
    altro.m_descrizione = url.toString();
    return altro;
}

} // namespace KaloRefill
