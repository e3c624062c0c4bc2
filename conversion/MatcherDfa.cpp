#include "conversion/MatcherDfa.h"

#include <algorithm>

namespace tarvelin::pattern {

namespace {

using Op = Instruction::Op;

constexpr std::size_t kMinCapacity = 130;
// State numbers must fit into the two bytes MatcherEngine keeps per position.
constexpr std::size_t kMaxCapacity = 1u << 16;

std::size_t words(std::size_t bits)
{
    return (bits + 63) / 64;
}

void setBit(std::uint64_t* bits, std::size_t index)
{
    bits[index >> 6] |= std::uint64_t{1} << (index & 63);
}

}  // namespace

ReverseDfa::ReverseDfa(const Program& program, std::size_t cacheBytes) : m_program(program)
{
    const auto& code = program.instructions;
    m_testOf.assign(code.size(), -1);
    for (std::size_t pc = 0; pc < code.size(); ++pc) {
        if (code[pc].op != Op::kTest) continue;
        m_testOf[pc] = static_cast<int>(m_testPc.size());
        m_testPc.push_back(static_cast<int>(pc));
    }
    m_testWords = std::max<std::size_t>(1, words(m_testPc.size()));
    m_pcWords = words(code.size());

    // Closures over the input-free edges. A split or save only ever leads to an instruction
    // emitted before it or to a test, so one pass in emission order sees every target done.
    m_closure.assign(code.size() * m_testWords, 0);
    m_closureMatches.assign(code.size(), 0);
    for (std::size_t pc = 0; pc < code.size(); ++pc) {
        if (code[pc].op == Op::kTest) setBit(&m_closure[pc * m_testWords], m_testOf[pc]);
        if (code[pc].op == Op::kMatch) m_closureMatches[pc] = 1;
    }
    for (std::size_t pc = 0; pc < code.size(); ++pc) {
        const Instruction& in = code[pc];
        if (in.op != Op::kSplit && in.op != Op::kSave) continue;
        for (const int target : {in.next, in.op == Op::kSplit ? in.alt : -1}) {
            if (target < 0) continue;
            const auto t = static_cast<std::size_t>(target);
            for (std::size_t w = 0; w < m_testWords; ++w)
                m_closure[pc * m_testWords + w] |= m_closure[t * m_testWords + w];
            m_closureMatches[pc] |= m_closureMatches[t];
        }
    }

    // Character classes: a new class starts wherever some test's range starts or ends.
    std::vector<std::size_t> starts = {0};
    for (const CharSet& set : program.sets) {
        for (const auto& [low, high] : set.ranges()) {
            starts.push_back(low);
            starts.push_back(static_cast<std::size_t>(high) + 1);
        }
    }
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    if (starts.back() == 0x10000) starts.pop_back();
    m_classOf.resize(0x10000);
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : 0x10000;
        std::fill(m_classOf.begin() + static_cast<std::ptrdiff_t>(starts[k]),
                  m_classOf.begin() + static_cast<std::ptrdiff_t>(end),
                  static_cast<std::uint16_t>(k));
        m_classSample.push_back(static_cast<char16_t>(starts[k]));
    }
    m_classCount = starts.size();

    const std::size_t stateBytes = 8 * (m_testWords + m_pcWords) + 4 * m_classCount + 64;
    m_capacity = std::clamp(cacheBytes / stateBytes, kMinCapacity, kMaxCapacity);
}

std::size_t ReverseDfa::BitsHash::operator()(const std::vector<std::uint64_t>& bits) const noexcept
{
    std::uint64_t hash = 0x9E3779B97F4A7C15ull;
    for (const std::uint64_t word : bits) {
        hash ^= word + 0x9E3779B97F4A7C15ull + (hash << 6) + (hash >> 2);
    }
    return static_cast<std::size_t>(hash);
}

int ReverseDfa::endState()
{
    return intern(std::vector<std::uint64_t>(m_testWords, 0));
}

std::vector<std::uint64_t> ReverseDfa::stateBits(int state) const
{
    const auto begin = m_states.begin() + static_cast<std::ptrdiff_t>(state * m_testWords);
    return {begin, begin + static_cast<std::ptrdiff_t>(m_testWords)};
}

int ReverseDfa::intern(const std::vector<std::uint64_t>& bits)
{
    const auto found = m_index.find(bits);
    if (found != m_index.end()) return found->second;
    const int state = static_cast<int>(m_canStart.size());
    m_states.insert(m_states.end(), bits.begin(), bits.end());
    m_transitions.resize(m_transitions.size() + m_classCount, -1);
    m_canStart.push_back(reachesMatch(bits.data(), m_program.start) ? 1 : 0);
    m_success.resize(m_success.size() + m_pcWords, 0);
    m_successReady.push_back(0);
    m_index.emplace(bits, state);
    return state;
}

void ReverseDfa::reset()
{
    m_states.clear();
    m_transitions.clear();
    m_canStart.clear();
    m_success.clear();
    m_successReady.clear();
    m_index.clear();
}

bool ReverseDfa::reachesMatch(const std::uint64_t* stateBits, int pc) const
{
    const auto p = static_cast<std::size_t>(pc);
    if (m_closureMatches[p]) return true;
    const std::uint64_t* closure = &m_closure[p * m_testWords];
    for (std::size_t w = 0; w < m_testWords; ++w) {
        if (closure[w] & stateBits[w]) return true;
    }
    return false;
}

int ReverseDfa::computeStep(int state, char16_t c)
{
    const std::uint16_t characterClass = m_classOf[c];
    const char16_t sample = m_classSample[characterClass];
    std::vector<std::uint64_t> bits(m_testWords, 0);
    const std::uint64_t* after = &m_states[static_cast<std::size_t>(state) * m_testWords];
    for (std::size_t t = 0; t < m_testPc.size(); ++t) {
        const Instruction& in = m_program.instructions[static_cast<std::size_t>(m_testPc[t])];
        if (m_program.sets[static_cast<std::size_t>(in.arg)].contains(sample) &&
            reachesMatch(after, in.next)) {
            setBit(bits.data(), t);
        }
    }
    const int next = intern(bits);
    m_transitions[static_cast<std::size_t>(state) * m_classCount + characterClass] = next;
    return next;
}

void ReverseDfa::buildSuccess(std::size_t state)
{
    std::uint64_t* success = &m_success[state * m_pcWords];
    const std::uint64_t* bits = &m_states[state * m_testWords];
    for (std::size_t pc = 0; pc < m_program.instructions.size(); ++pc) {
        if (reachesMatch(bits, static_cast<int>(pc))) setBit(success, pc);
    }
    m_successReady[state] = 1;
}

}  // namespace tarvelin::pattern
