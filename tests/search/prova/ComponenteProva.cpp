#include "ComponenteProva.h"

#include "RegistroProva.h"
#include "host/Errore.h"

#include <utility>

namespace KaloRefill {

namespace {
void imposta(const char* membro, const QString& valore) {
    RegistroProva::annota(QLatin1String(membro) + QLatin1Char('=') + valore);
}
QString intero(qint16 valore) {
    return QString::number(valore);
}
} // namespace

ComponenteProva::ComponenteProva() {
    ++RegistroProva::componentiVivi();
}

ComponenteProva::~ComponenteProva() {
    --RegistroProva::componentiVivi();
    RegistroProva::annota(QStringLiteral("~componente"));
}

void ComponenteProva::setUser(const QVariant& user) {
    imposta("User", user.toString() + QStringLiteral(" (") + QLatin1String(user.typeName()) +
                        QLatin1Char(')'));
}
void ComponenteProva::setModulo(const QString& modulo) {
    imposta("Modulo", modulo);
}
void ComponenteProva::setCaption(const QString& caption) {
    imposta("Caption", caption);
}
void ComponenteProva::setRecordset(RecordsetPtr righe) {
    imposta("Recordset", RegistroProva::nomeDi(righe.get()));
    m_righe = std::move(righe);
}
void ComponenteProva::setRecordsetOperatori(RecordsetPtr operatori) {
    imposta("RecordsetOperatori", RegistroProva::nomeDi(operatori.get()));
    m_operatori = std::move(operatori);
}
void ComponenteProva::setRecordsetViste(RecordsetPtr viste) {
    imposta("RecordsetViste", RegistroProva::nomeDi(viste.get()));
    m_viste = std::move(viste);
}
void ComponenteProva::setCampoRicerca(const QString& campo) {
    imposta("CampoRicerca", campo);
}
void ComponenteProva::setPercorsoPers(const QString& percorso) {
    imposta("PercorsoPers", percorso);
}
void ComponenteProva::setPercorso(const QString& percorso) {
    imposta("Percorso", percorso);
}
void ComponenteProva::setStatusBar(qint16 valore) {
    imposta("StatusBar", intero(valore));
}
void ComponenteProva::setToolbar(qint16 valore) {
    imposta("Toolbar", intero(valore));
}
void ComponenteProva::setFilterBar(qint16 valore) {
    imposta("FilterBar", intero(valore));
}
void ComponenteProva::setWindowsState(qint16 valore) {
    imposta("WindowsState", intero(valore));
}

void ComponenteProva::Ricerca() {
    RegistroProva::annota(QStringLiteral("Ricerca"));
    leggiRighe();
    if (RegistroProva::numeroErroreInRicerca() != 0)
        throw Errore(RegistroProva::numeroErroreInRicerca(),
                     RegistroProva::descrizioneErroreInRicerca());
}

void ComponenteProva::leggiRighe() {
    const QStringList& campi = RegistroProva::campiDaLeggere();
    if (campi.isEmpty() || !m_righe)
        return;
    RegistroProva::colonneLette() = m_righe->FieldNames();
    RegistroProva::righeContate() = m_righe->RecordCount();
    RegistroProva::righeLette().clear();
    if (RegistroProva::righeContate() == 0)
        return;
    for (m_righe->MoveFirst(); !m_righe->Eof(); m_righe->MoveNext()) {
        QVariantList valori;
        for (const QString& campo : campi)
            valori << m_righe->Field(campo);
        RegistroProva::righeLette() << valori;
    }
    m_righe->MoveFirst();
}

QVariant ComponenteProva::Risposta() const {
    RegistroProva::annota(QStringLiteral("Risposta"));
    return RegistroProva::risposta();
}

} // namespace KaloRefill
