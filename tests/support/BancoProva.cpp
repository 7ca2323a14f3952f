// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "BancoProva.h"

#include "MotoreProva.h"

#include <QDateTime>

using namespace KaloRefill;

BancoProva::BancoProva(const QDate& dataLavoro) {
    OpzioniHost opzioni;
    opzioni.data = dataLavoro;
    opzioni.user = QStringLiteral("mrossi");
    m_host = DatabaseHost::crea(MotoreProva::nuovoDatabase(m_cartella.path()), opzioni);
}

std::unique_ptr<BancoProva> BancoProva::salaPronta(int apparecchi, const QDate& dataLavoro) {
    auto banco = std::make_unique<BancoProva>(dataLavoro);
    banco->aggiungiLocale(QStringLiteral("SG01"));
    banco->aggiungiAssociazioneConti();
    banco->aggiungiApparecchi(apparecchi);
    return banco;
}

void BancoProva::scrivi(const QString& tabella, const QVariantMap& campi) const {
    const RecordsetPtr rs = m_host->openrecordset(QStringLiteral("select * from ") + tabella);
    rs->AddNew();
    for (auto it = campi.begin(); it != campi.end(); ++it)
        rs->SetField(it.key(), it.value());
    rs->Update();
}

void BancoProva::aggiungiLocale(const QString& codLocale) {
    scrivi(QStringLiteral("anagraficalocali"),
           {{QStringLiteral("Codlocale"), codLocale}, {QStringLiteral("ragionesociale"), QStringLiteral("Sala Prova")}});
}

void BancoProva::aggiungiAssociazioneConti(const QString& cassaSala, const QString& cassaRefill) {
    scrivi(QStringLiteral("TabAssociazioneConti"),
           {{QStringLiteral("CassaSalaGiochi"), cassaSala}, {QStringLiteral("CassaRefill"), cassaRefill}});
}

void BancoProva::aggiungiApparecchi(int quanti, int tipologia, int attiva, int primo) {
    for (int i = primo; i < primo + quanti; ++i) {
        scrivi(QStringLiteral("apparecchi"), {
                                                 {QStringLiteral("idscheda"), 1000 + i},
                                                 {QStringLiteral("Idapparecchio"), 5000 + i},
                                                 {QStringLiteral("codiceinterno"), QStringLiteral("C%1").arg(i)},
                                                 {QStringLiteral("Nomescheda"), QStringLiteral("Slot %1").arg(i)},
                                                 {QStringLiteral("nomemobile"), QStringLiteral("Mobile %1").arg(i)},
                                                 {QStringLiteral("codiceaams"), QStringLiteral("AAMS%1").arg(i)},
                                                 {QStringLiteral("tipologiaincasso"), tipologia},
                                                 {QStringLiteral("categoria"), QStringLiteral("AWP")},
                                                 {QStringLiteral("attiva"), attiva},
                                                 {QStringLiteral("ordineincasso"), i},
                                             });
    }
}

qint64 BancoProva::aggiungiTestata(const QDate& data, const QString& codLocale, bool chiuso, const QString& causale) {
    const RecordsetPtr rs = m_host->openrecordset(QStringLiteral("select * from noteteste"));
    rs->AddNew();
    rs->SetField(QStringLiteral("codcausale"), causale);
    rs->SetField(QStringLiteral("dataregistrazione"), data);
    rs->SetField(QStringLiteral("Codlocale"), codLocale);
    rs->SetField(QStringLiteral("codiceazienda"), QStringLiteral("Salagiochi"));
    rs->SetField(QStringLiteral("chiuso"), chiuso ? -1 : 0);
    rs->SetField(QStringLiteral("import"), 0);
    rs->Update();
    return rs->Field(QStringLiteral("id")).toLongLong();
}

void BancoProva::aggiungiRiga(qint64 idTesta, int idScheda, const QVariant& importo, const QDate& dataIncasso,
                              const QString& codLocale) {
    scrivi(QStringLiteral("noteincassi"), {
                                              {QStringLiteral("idtesta"), idTesta},
                                              {QStringLiteral("linkscheda"), idScheda},
                                              {QStringLiteral("Codlocale"), codLocale},
                                              {QStringLiteral("dataincasso"), dataIncasso},
                                              {QStringLiteral("tipoincasso"), 6},
                                              {QStringLiteral("refillgestore"), importo},
                                              {QStringLiteral("riga"), 0},
                                          });
}

QList<QVariantMap> BancoProva::righe(const QString& sql) const {
    QList<QVariantMap> risultato;
    const RecordsetPtr rs = m_host->openrecordset(sql);
    if (rs->RecordCount() == 0)
        return risultato;
    const QStringList nomi = rs->FieldNames();
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        QVariantMap riga;
        for (const QString& nome : nomi)
            riga.insert(nome.toLower(), rs->Field(nome));
        risultato << riga;
    }
    return risultato;
}

int BancoProva::conta(const QString& sql) const { return m_host->openrecordset(sql)->RecordCount(); }
