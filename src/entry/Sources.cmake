target_sources(kalorefill PRIVATE
    entry/Configura.cpp entry/Configura.h
    entry/StatoModulo.cpp entry/StatoModulo.h
    entry/Registrazione.h)
