#pragma once
// A dialog made the first time it is wanted rather than at the program's
// start, where every millisecond before the first window counts. Whoever wires
// the dialog up does so once it is made; a dialog handed in ready-made (as
// tests do) is simply there.

#include <QPointer>

#include <functional>
#include <utility>
#include <vector>

template <class T> class Later {
public:
    Later() = default;
    Later(T *made) : m_made(made) { } // NOLINT: a ready dialog stands for itself
    explicit Later(std::function<T *()> make) : m_make(std::move(make)) { }

    // Whether there is a dialog, made or to be made.
    explicit operator bool() const { return m_made || m_make; }
    // The dialog, made now if need be; null when there is none (or it has
    // gone, as dialogs do at the program's end).
    T *get()
    {
        if (!m_made && m_make) {
            m_made = std::exchange(m_make, nullptr)();
            if (!m_made)
                return nullptr;
            for (auto &ready : std::exchange(m_ready, {}))
                ready(m_made);
        }
        return m_made;
    }
    // The dialog if it was made already, without making it.
    T *ifMade() const { return m_made; }
    // Runs now on a made dialog, else once it is made.
    void whenMade(std::function<void(T *)> ready)
    {
        if (m_made)
            ready(m_made);
        else if (m_make)
            m_ready.push_back(std::move(ready));
    }

private:
    QPointer<T> m_made;
    std::function<T *()> m_make;
    std::vector<std::function<void(T *)>> m_ready;
};
