#include "RecordsetMemoria.h"

#include "host/Errore.h"

#include <utility>

using KaloRefill::Errore;

RecordsetMemoria::RecordsetMemoria(QStringList campi, QList<QVariantList> righe)
    : m_campi(std::move(campi)), m_righe(std::move(righe)) {
    for (QVariantList& riga : m_righe)
        riga.resize(m_campi.size());
    SetFilter(QString());
}

std::shared_ptr<RecordsetMemoria> RecordsetMemoria::crea(QStringList campi,
                                                         QList<QVariantList> righe) {
    return std::make_shared<RecordsetMemoria>(std::move(campi), std::move(righe));
}

void RecordsetMemoria::nota(const QString& chiamata) const {
    if (osservatore)
        osservatore(chiamata);
}

int RecordsetMemoria::colonna(const QString& nome) const {
    for (qsizetype c = 0; c < m_campi.size(); ++c) {
        if (m_campi.at(c).compare(nome, Qt::CaseInsensitive) == 0)
            return static_cast<int>(c);
    }
    throw Errore::campoNonTrovato(nome);
}

bool RecordsetMemoria::senzaRigaCorrente() const {
    return m_posizione < 0 || m_posizione >= m_visibili.size();
}

int RecordsetMemoria::RecordCount() {
    return static_cast<int>(m_visibili.size());
}

bool RecordsetMemoria::Bof() {
    return m_visibili.isEmpty() || m_posizione < 0;
}

bool RecordsetMemoria::Eof() {
    return m_visibili.isEmpty() || m_posizione >= m_visibili.size();
}

void RecordsetMemoria::MoveFirst() {
    if (m_visibili.isEmpty())
        throw Errore::nessunRecordCorrente();
    m_posizione = 0;
    m_nuova.reset();
    m_modifiche.clear();
}

void RecordsetMemoria::MoveNext() {
    if (Eof())
        throw Errore::nessunRecordCorrente();
    ++m_posizione;
    m_modifiche.clear();
}

void RecordsetMemoria::MovePrevious() {
    if (Bof())
        throw Errore::nessunRecordCorrente();
    --m_posizione;
    m_modifiche.clear();
}

QVariant RecordsetMemoria::Field(const QString& nome) {
    const int c = colonna(nome);
    if (m_nuova)
        return m_nuova->at(c);
    if (senzaRigaCorrente())
        throw Errore::nessunRecordCorrente();
    for (const auto& [campo, valore] : m_modifiche) {
        if (campo == c)
            return valore;
    }
    return m_righe.at(m_visibili.at(m_posizione)).at(c);
}

void RecordsetMemoria::SetField(const QString& nome, const QVariant& valore) {
    const int c = colonna(nome);
    nota(QStringLiteral("SetField %1=%2").arg(nome, valore.toString()));
    if (m_nuova) {
        (*m_nuova)[c] = valore;
        return;
    }
    if (senzaRigaCorrente())
        throw Errore::nessunRecordCorrente();
    m_modifiche.append({c, valore});
}

void RecordsetMemoria::AddNew() {
    nota(QStringLiteral("AddNew"));
    m_modifiche.clear();
    m_nuova = QVariantList(m_campi.size());
}

void RecordsetMemoria::Update() {
    nota(QStringLiteral("Update"));
    ++aggiornamenti;
    if (m_nuova) {
        m_righe.append(*m_nuova);
        m_nuova.reset();
        m_visibili.append(static_cast<int>(m_righe.size() - 1));
        m_posizione = static_cast<int>(m_visibili.size() - 1);
        return;
    }
    if (senzaRigaCorrente())
        throw Errore::nessunRecordCorrente();
    QVariantList& riga = m_righe[m_visibili.at(m_posizione)];
    for (const auto& [campo, valore] : std::as_const(m_modifiche))
        riga[campo] = valore;
    m_modifiche.clear();
}

void RecordsetMemoria::SetFilter(const QString& condizione) {
    nota(QStringLiteral("Filter=") + condizione);
    m_visibili.clear();
    m_nuova.reset();
    m_modifiche.clear();
    m_posizione = 0;
    if (condizione.trimmed().isEmpty()) {
        for (qsizetype r = 0; r < m_righe.size(); ++r)
            m_visibili.append(static_cast<int>(r));
        return;
    }
    const qsizetype uguale = condizione.indexOf(QLatin1Char('='));
    if (uguale < 0)
        throw Errore::tipoNonCorrispondente();
    const int c = colonna(condizione.left(uguale).trimmed());
    QString atteso = condizione.mid(uguale + 1).trimmed();
    if (atteso.startsWith(QLatin1Char('\'')) && atteso.endsWith(QLatin1Char('\'')) &&
        atteso.size() >= 2)
        atteso = atteso.mid(1, atteso.size() - 2);
    for (qsizetype r = 0; r < m_righe.size(); ++r) {
        if (m_righe.at(r).at(c).toString().compare(atteso, Qt::CaseInsensitive) == 0)
            m_visibili.append(static_cast<int>(r));
    }
}

QStringList RecordsetMemoria::FieldNames() {
    return m_campi;
}

QVariant RecordsetMemoria::valore(int riga, const QString& campo) const {
    return m_righe.at(riga).at(colonna(campo));
}
