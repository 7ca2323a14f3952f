#include "RegistroProva.h"

#include <QHash>

namespace RegistroProva {

namespace {
QHash<const void*, QString>& nomi() {
    static QHash<const void*, QString> tutti;
    return tutti;
}
} // namespace

QStringList& voci() {
    static QStringList log;
    return log;
}

void annota(const QString& voce) {
    voci().append(voce);
}

QVariant& risposta() {
    static QVariant valore;
    return valore;
}

int& numeroErroreInRicerca() {
    static int numero = 0;
    return numero;
}

QString& descrizioneErroreInRicerca() {
    static QString descrizione;
    return descrizione;
}

bool& oggettoEstraneo() {
    static bool estraneo = false;
    return estraneo;
}

void nomina(const void* recordset, const QString& nome) {
    nomi().insert(recordset, nome);
}

QString nomeDi(const void* recordset) {
    return recordset ? nomi().value(recordset, QStringLiteral("?")) : QStringLiteral("null");
}

QStringList& campiDaLeggere() {
    static QStringList campi;
    return campi;
}

QStringList& colonneLette() {
    static QStringList colonne;
    return colonne;
}

int& righeContate() {
    static int righe = -1;
    return righe;
}

QList<QVariantList>& righeLette() {
    static QList<QVariantList> righe;
    return righe;
}

int& componentiVivi() {
    static int vivi = 0;
    return vivi;
}

void azzera() {
    voci().clear();
    risposta() = QVariant();
    numeroErroreInRicerca() = 0;
    descrizioneErroreInRicerca().clear();
    oggettoEstraneo() = false;
    nomi().clear();
    campiDaLeggere().clear();
    colonneLette().clear();
    righeContate() = -1;
    righeLette().clear();
}

} // namespace RegistroProva
