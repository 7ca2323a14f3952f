target_sources(kalorefill PRIVATE
    controlli/Pin.cpp controlli/Pin.h
    controlli/Operatori.cpp controlli/Operatori.h
    controlli/HostOperatore.h
    controlli/DlgPin.cpp controlli/DlgPin.h
    controlli/ControlliRefill.cpp controlli/ControlliRefill.h)
