// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Creating components by name: which folders are searched, in which order, and what
// comes back for names nobody answers to.
#include "ComponentRegistry.h"
#include "RegistroProva.h"
#include "search/ComponenteRicerca.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

class TestComponenti : public QObject {
    Q_OBJECT
private slots:
    void cartelleCercate();
    void crea_data();
    void crea();
};

void TestComponenti::cartelleCercate() {
    qputenv(ComponentRegistry::variabileCartelle,
            u"/opt/a%1%1/opt/b/"_s.arg(QDir::listSeparator()).toLocal8Bit());
    // The environment's folders come before the program's own; empty entries are skipped.
    QCOMPARE(ComponentRegistry::searchFolders(),
             (QStringList{u"/opt/a"_s, u"/opt/b"_s,
                          QCoreApplication::applicationDirPath() + u"/components"_s}));
}

void TestComponenti::crea_data() {
    QTest::addColumn<QStringList>("cartelle"); // "guasta" holds a file that is no plugin
    QTest::addColumn<QString>("nome");
    QTest::addColumn<bool>("trovato");
    const QString ricerca = u"KaloviaRicerca.Ricerca"_s;
    QTest::newRow("cartella del componente") << QStringList{u"prova"_s} << ricerca << true;
    QTest::newRow("nome in minuscolo") << QStringList{u"prova"_s} << ricerca.toLower() << true;
    QTest::newRow("file guasto davanti") << QStringList{u"guasta"_s, u"prova"_s} << ricerca << true;
    QTest::newRow("nome sconosciuto")
        << QStringList{u"prova"_s} << u"KaloviaRicerca.Stampa"_s << false;
    QTest::newRow("nome vuoto") << QStringList{u"prova"_s} << QString() << false;
    QTest::newRow("cartelle senza componente")
        << QStringList{u"guasta"_s, u"manca"_s} << ricerca << false;
}

void TestComponenti::crea() {
    QFETCH(QStringList, cartelle);
    QFETCH(QString, nome);
    QFETCH(bool, trovato);
    QTemporaryDir guasta;
    QFile finta(guasta.filePath(u"libaaa_guasta.so"_s));
    QVERIFY(finta.open(QIODevice::WriteOnly) && finta.write("not a library") > 0);
    finta.close();
    const QMap<QString, QString> percorsi{{u"guasta"_s, guasta.path()},
                                          {u"manca"_s, guasta.filePath(u"manca"_s)},
                                          {u"prova"_s, QStringLiteral(CARTELLA_COMPONENTI_PROVA)}};
    for (QString& cartella : cartelle)
        cartella = percorsi.value(cartella);
    qputenv(ComponentRegistry::variabileCartelle,
            cartelle.join(QDir::listSeparator()).toLocal8Bit());

    std::unique_ptr<QObject> primo = ComponentRegistry::create(nome);
    std::unique_ptr<QObject> secondo = ComponentRegistry::create(nome);
    QCOMPARE(bool(primo), trovato);
    QCOMPARE(RegistroProva::istanza().componentiVivi, trovato ? 2 : 0);
    if (!trovato)
        return;
    // A new search component on each request, owned by the caller.
    QVERIFY(qobject_cast<ComponenteRicerca*>(primo.get()));
    QVERIFY(qobject_cast<ComponenteRicerca*>(secondo.get()));
    QVERIFY(primo.get() != secondo.get());
    primo.reset();
    secondo.reset();
    QCOMPARE(RegistroProva::istanza().componentiVivi, 0);
}

QTEST_MAIN(TestComponenti)
#include "tst_componenti.moc"
