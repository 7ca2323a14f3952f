#include "FrmRefill.h"

namespace KaloRefill {
FrmRefill::FrmRefill(QWidget* parent) : QWidget(parent) {}
FrmRefill::~FrmRefill() = default;
void FrmRefill::Form_Load() {}
void FrmRefill::mostra(bool) {}
bool FrmRefill::eventFilter(QObject* o, QEvent* e) { return QWidget::eventFilter(o, e); }
void FrmRefill::resizeEvent(QResizeEvent*) {}
void FrmRefill::hideEvent(QHideEvent*) { emit nascosto(); }
} // namespace KaloRefill
