#include "conversion/MatcherEngine.h"

#include <algorithm>
#include <stdexcept>

namespace tarvelin::pattern {

namespace {

using Op = Instruction::Op;

constexpr std::size_t kMaxStretch = 4096;
constexpr std::size_t kMinStretch = 64;

}  // namespace

MatcherEngine::MatcherEngine(const Program& program, std::size_t cacheBytes)
    : m_program(program), m_dfa(program, cacheBytes)
{
    // Stretches are a power of two long so that a position's stretch is a shift away, and short
    // enough that the states of one stretch always fit into the cache together.
    const std::size_t limit = std::clamp((m_dfa.stateCapacity() - 2) / 2, kMinStretch, kMaxStretch);
    while ((std::size_t{2} << m_shift) <= limit) ++m_shift;

    // Splits that close a one-character loop are walked in one stretch of positions.
    const auto& code = program.instructions;
    m_loops.assign(code.size(), Loop::kNone);
    for (std::size_t pc = 0; pc < code.size(); ++pc) {
        const Instruction& in = code[pc];
        if (in.op != Op::kSplit) continue;
        const auto closesLoop = [&](int target) {
            const Instruction& test = code[static_cast<std::size_t>(target)];
            return test.op == Op::kTest && test.next == static_cast<int>(pc);
        };
        if (closesLoop(in.alt)) m_loops[pc] = Loop::kLazy;
        if (closesLoop(in.next)) m_loops[pc] = Loop::kGreedy;
    }
}

void MatcherEngine::resetIfFull(std::size_t room)
{
    if (m_dfa.stateCount() + room <= m_dfa.stateCapacity()) return;
    m_dfa.reset();
    m_loaded = -1;
}

void MatcherEngine::prepare(std::u16string_view subject)
{
    m_subject = subject;
    m_loaded = -1;
    const std::size_t size = subject.size();
    const std::size_t length = std::size_t{1} << m_shift;
    const std::size_t stretches = (size >> m_shift) + 1;
    resetIfFull(2);
    int state = m_dfa.endState();
    m_words = m_dfa.stateBits(state).size();
    m_kept.assign(stretches * m_words, 0);
    m_stretchCanStart.assign(stretches, 0);
    bool canStart = m_dfa.canStart(state);
    // While the cache never has to be emptied, every position's state number stays valid and
    // is kept, two bytes each, so the walk needs no second backward pass.
    m_allStates.resize(size + 1);
    m_haveAllStates = true;
    m_allStates[size] = static_cast<std::uint16_t>(state);
    for (std::size_t stretch = stretches; stretch-- > 0;) {
        if (m_dfa.stateCount() + length + 2 > m_dfa.stateCapacity()) {
            const std::vector<std::uint64_t> bits = m_dfa.stateBits(state);
            m_dfa.reset();
            m_loaded = -1;
            m_haveAllStates = false;
            m_allStates.clear();
            m_allStates.shrink_to_fit();
            state = m_dfa.intern(bits);
        }
        const std::size_t begin = stretch << m_shift;
        const std::size_t end = std::min(begin + length, size);
        for (std::size_t position = end; position > begin;) {
            // Characters in front of which the state stays as it is are passed in a loop
            // without a chain of dependent loads; then one real step.
            std::size_t stay = position;
            while (stay > begin && m_dfa.staysIn(state, subject[stay - 1])) --stay;
            if (m_haveAllStates)
                std::fill(m_allStates.begin() + static_cast<std::ptrdiff_t>(stay),
                          m_allStates.begin() + static_cast<std::ptrdiff_t>(position),
                          static_cast<std::uint16_t>(state));
            position = stay;
            if (position == begin) break;
            --position;
            state = m_dfa.step(state, subject[position]);
            if (m_haveAllStates) m_allStates[position] = static_cast<std::uint16_t>(state);
            canStart = canStart || m_dfa.canStart(state);
        }
        m_stretchCanStart[stretch] = canStart ? 1 : 0;
        canStart = false;
        const std::vector<std::uint64_t> bits = m_dfa.stateBits(state);
        std::copy(bits.begin(), bits.end(),
                  m_kept.begin() + static_cast<std::ptrdiff_t>(stretch * m_words));
    }
}

void MatcherEngine::loadStretch(std::size_t stretch)
{
    const std::size_t length = std::size_t{1} << m_shift;
    resetIfFull(length + 2);
    const std::size_t begin = stretch << m_shift;
    const std::size_t end = std::min(begin + length, m_subject.size());
    int state = m_dfa.endState();
    if (end < m_subject.size()) {
        const auto kept = m_kept.begin() + static_cast<std::ptrdiff_t>((stretch + 1) * m_words);
        state = m_dfa.intern(
            std::vector<std::uint64_t>(kept, kept + static_cast<std::ptrdiff_t>(m_words)));
    }
    m_states.resize(end - begin + 1);
    m_states[end - begin] = state;
    for (std::size_t position = end; position-- > begin;) {
        state = m_dfa.step(state, m_subject[position]);
        m_states[position - begin] = state;
    }
    m_loaded = static_cast<std::ptrdiff_t>(stretch);
}

bool MatcherEngine::search(std::size_t from, std::vector<std::ptrdiff_t>& slots)
{
    slots.assign(static_cast<std::size_t>(m_program.slotCount()), -1);
    const std::size_t size = m_subject.size();
    std::size_t start = from;
    bool found = false;
    while (start <= size && !found) {
        const std::size_t stretch = start >> m_shift;
        if (!m_stretchCanStart[stretch]) {
            start = (stretch + 1) << m_shift;
            continue;
        }
        const std::size_t stretchEnd = std::min((stretch + 1) << m_shift, size + 1);
        for (; start < stretchEnd; ++start) {
            if (m_dfa.canStart(stateAt(start))) {
                found = true;
                break;
            }
        }
    }
    if (!found) return false;

    std::size_t position = start;
    int pc = m_program.start;
    while (true) {
        const Instruction& in = m_program.instructions[static_cast<std::size_t>(pc)];
        switch (in.op) {
            case Op::kTest:
                // The walk only enters a test that accepts the character here; running past
                // the subject would mean the automaton and the program disagree.
                if (position >= size) throw std::logic_error("pattern walk left its subject");
                ++position;
                pc = in.next;
                break;
            case Op::kSplit:
                switch (m_loops[static_cast<std::size_t>(pc)]) {
                    case Loop::kNone:
                        pc = m_dfa.canSucceed(stateAt(position), in.next) ? in.next : in.alt;
                        break;
                    case Loop::kLazy:
                        // Stop as early as the rest can match; every character passed until
                        // then is one the loop's test accepts.
                        while (!m_dfa.canSucceed(stateAt(position), in.next)) {
                            if (position >= size)
                                throw std::logic_error("pattern walk left its subject");
                            ++position;
                        }
                        pc = in.next;
                        break;
                    case Loop::kGreedy:
                        // Go on as long as going on can still lead to a match.
                        while (position < size && m_dfa.canSucceed(stateAt(position), in.next))
                            ++position;
                        pc = in.alt;
                        break;
                }
                break;
            case Op::kSave:
                slots[static_cast<std::size_t>(in.arg)] = static_cast<std::ptrdiff_t>(position);
                pc = in.next;
                break;
            case Op::kMatch:
                return true;
        }
    }
}

}  // namespace tarvelin::pattern
