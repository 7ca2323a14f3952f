// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "documento/RegistroRefill.h"

#include "documento/DocumentoRefill.h"
#include "host/SqlTesti.h"

namespace KaloRefill {

namespace {
const QString tabella = QStringLiteral("RegistroRefill");

Valuta importo(const QVariant& v) { return v.isNull() ? Valuta() : Valuta::daVariant(v); }
} // namespace

QString RegistroRefill::testoSql(const QString& testo) {
    return QLatin1Char('\'') + QString(testo).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

QVariant RegistroRefill::valore(const QString& sql) {
    const RecordsetPtr rs = m_host.openrecordset(sql);
    return rs->RecordCount() > 0 ? rs->Field(QStringLiteral("valore")) : QVariant();
}

Valuta RegistroRefill::importoDelGiorno(const QDate& data, qint64 idScheda) {
    return DocumentoRefill(m_host).importoApparecchio(data, idScheda);
}

bool RegistroRefill::ultimaRigaPositiva(const QString& codLocale, qint64 idScheda, const QDate& giornata,
                                        int& anno, qint64& numero) {
    const RecordsetPtr rs = m_host.openrecordset(
        QStringLiteral("select anno, numero from RegistroRefill where codlocale=") + testoSql(codLocale) +
        QStringLiteral(" and idscheda=") + QString::number(idScheda) + QStringLiteral(" and giornata=") +
        SqlTesti::dataSql(giornata) + QStringLiteral(" and differenza>0 order by anno desc, numero desc"));
    if (rs->RecordCount() == 0)
        return false;
    anno = rs->Field(QStringLiteral("anno")).toInt();
    numero = rs->Field(QStringLiteral("numero")).toLongLong();
    return true;
}

void RegistroRefill::aggiungi(RigaRegistro& riga) {
    const QString locale = QStringLiteral(" from RegistroRefill where codlocale=") + testoSql(riga.codLocale);
    const QVariant ultimoAnno = valore(QStringLiteral("select max(anno) as valore") + locale);
    QString precedente;
    if (!ultimoAnno.isNull()) {
        const int ultimo = ultimoAnno.toInt();
        const qint64 ultimoNumero =
            valore(QStringLiteral("select max(numero) as valore") + locale + QStringLiteral(" and anno=") +
                   QString::number(ultimo))
                .toLongLong();
        // A clock put back never restarts a year already closed.
        riga.anno = std::max(riga.anno, ultimo);
        riga.numero = riga.anno == ultimo ? ultimoNumero + 1 : 1;
        precedente = valore(QStringLiteral("select impronta as valore") + locale + QStringLiteral(" and anno=") +
                            QString::number(ultimo) + QStringLiteral(" and numero=") +
                            QString::number(ultimoNumero))
                         .toString();
    } else {
        riga.numero = 1;
    }
    riga.dataOra = riga.dataOra.addMSecs(-riga.dataOra.time().msec());
    riga.impronta = riga.calcolaImpronta(precedente);

    const RecordsetPtr rs = m_host.openrecordset(QStringLiteral("select * from RegistroRefill where id=-1"));
    rs->AddNew();
    const auto campo = [&rs](const char* nome, const QVariant& v) { rs->SetField(QLatin1String(nome), v); };
    const auto testo = [](const QString& t) { return t.isEmpty() ? QVariant() : QVariant(t); };
    campo("codlocale", riga.codLocale);
    campo("anno", riga.anno);
    campo("numero", riga.numero);
    campo("dataora", riga.dataOra);
    campo("giornata", riga.giornata);
    campo("idscheda", riga.idScheda);
    campo("codiceinterno", testo(riga.codiceInterno));
    campo("nomescheda", testo(riga.nomeScheda));
    campo("codiceaams", testo(riga.codiceAams));
    campo("prima", QVariant::fromValue(riga.prima));
    campo("dopo", QVariant::fromValue(riga.dopo));
    campo("differenza", QVariant::fromValue(riga.differenza));
    campo("operatore", testo(riga.operatore));
    campo("testimone", testo(riga.testimone));
    campo("motivo", testo(riga.motivo));
    campo("annocorretto", riga.annoCorretto == 0 ? QVariant() : QVariant(riga.annoCorretto));
    campo("numerocorretto", riga.numeroCorretto == 0 ? QVariant() : QVariant(riga.numeroCorretto));
    campo("impronta", riga.impronta);
    rs->Update();
}

QList<RigaRegistro> RegistroRefill::leggi(const QDate& dal, const QDate& al, QList<qint64>* id) {
    QString sql = QStringLiteral("select * from RegistroRefill where id>0");
    if (dal.isValid())
        sql += QStringLiteral(" and giornata>=") + SqlTesti::dataSql(dal);
    if (al.isValid())
        sql += QStringLiteral(" and giornata<=") + SqlTesti::dataSql(al);
    sql += QStringLiteral(" order by codlocale, anno, numero, id");
    QList<RigaRegistro> righe;
    const RecordsetPtr rs = m_host.openrecordset(sql);
    const auto testo = [&rs](const char* nome) { return rs->Field(QLatin1String(nome)).toString(); };
    for (; !rs->Eof(); rs->MoveNext()) {
        RigaRegistro r;
        r.codLocale = testo("codlocale");
        r.anno = rs->Field(QStringLiteral("anno")).toInt();
        r.numero = rs->Field(QStringLiteral("numero")).toLongLong();
        r.dataOra = rs->Field(QStringLiteral("dataora")).toDateTime();
        r.giornata = rs->Field(QStringLiteral("giornata")).toDate();
        r.idScheda = rs->Field(QStringLiteral("idscheda")).toLongLong();
        r.codiceInterno = testo("codiceinterno");
        r.nomeScheda = testo("nomescheda");
        r.codiceAams = testo("codiceaams");
        r.prima = importo(rs->Field(QStringLiteral("prima")));
        r.dopo = importo(rs->Field(QStringLiteral("dopo")));
        r.differenza = importo(rs->Field(QStringLiteral("differenza")));
        r.operatore = testo("operatore");
        r.testimone = testo("testimone");
        r.motivo = testo("motivo");
        r.annoCorretto = rs->Field(QStringLiteral("annocorretto")).toInt();
        r.numeroCorretto = rs->Field(QStringLiteral("numerocorretto")).toLongLong();
        r.impronta = testo("impronta");
        if (id)
            id->append(rs->Field(QStringLiteral("id")).toLongLong());
        righe.append(r);
    }
    return righe;
}

} // namespace KaloRefill
