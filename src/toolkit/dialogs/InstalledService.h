#pragma once

#include <utility>

// The one installed service of a kind (messages, file dialogs, shell, preview) and the
// program's own one it falls back to. A service class derives from InstalledService<itself>
// and defines standard(), the service used while none is installed. install() does not take
// ownership. Nothing here throws. GUI thread only.
template<class Service>
class InstalledService
{
public:
    // The installed service, or the program's own when none is installed.
    static Service& current() { return s_installed ? *s_installed : Service::standard(); }
    // Installs service (nullptr: the program's own again) and returns the one installed before.
    static Service* install(Service* service) { return std::exchange(s_installed, service); }

    // Keeps a service installed while it lives, then puts back the one before it. A replacing
    // service holds one as a member, so that services installed in turn come off in turn.
    class Scope
    {
    public:
        explicit Scope(Service* service) : m_before(install(service)) {}
        ~Scope() { install(m_before); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        Service* m_before;
    };

private:
    static inline Service* s_installed = nullptr;
};
