#include "conversion/PatternProgram.h"

#include "conversion/PatternMatcher.h"

namespace tarvelin::pattern {

namespace {

using Op = Instruction::Op;

// Compiles each fragment in front of its known continuation, so no jump needs patching except
// the back edge of a loop.
class Compiler {
public:
    Program compile(const Syntax& syntax)
    {
        m_program.groupCount = syntax.groupCount;
        const int match = emit(Op::kMatch, -1);
        const int end = emit(Op::kSave, match, 1);
        m_program.start = emit(Op::kSave, alternatives(syntax.alternatives, end), 0);
        return std::move(m_program);
    }

private:
    int emit(Op op, int next, int arg = -1, int alt = -1)
    {
        if (m_program.instructions.size() >= kMaxInstructions)
            throw PatternError(u"Pattern error at position 0: pattern too large", 0);
        m_program.instructions.push_back(Instruction{op, next, alt, arg});
        return static_cast<int>(m_program.instructions.size()) - 1;
    }

    int test(const CharSet& set, int next)
    {
        m_program.sets.push_back(set);
        return emit(Op::kTest, next, static_cast<int>(m_program.sets.size()) - 1);
    }

    int alternatives(const std::vector<Sequence>& alternatives, int next)
    {
        int entry = sequence(alternatives.back(), next);
        for (std::size_t i = alternatives.size() - 1; i-- > 0;) {
            const int preferred = sequence(alternatives[i], next);
            entry = emit(Op::kSplit, preferred, -1, entry);
        }
        return entry;
    }

    int sequence(const Sequence& nodes, int next)
    {
        for (auto node = nodes.rbegin(); node != nodes.rend(); ++node)
            next = this->node(*node, next);
        return next;
    }

    int node(const Node& node, int next)
    {
        if (node.kind == Node::Kind::kGroup) {
            const int close = emit(Op::kSave, next, 2 * node.group + 1);
            return emit(Op::kSave, alternatives(node.alternatives, close), 2 * node.group);
        }
        switch (node.quantifier) {
            case Quantifier::kOnce:
                return test(node.set, next);
            case Quantifier::kExactly:
                for (int i = 0; i < node.count; ++i) next = test(node.set, next);
                return next;
            case Quantifier::kGreedyPlus: {
                const int loop = test(node.set, -1);
                m_program.instructions[loop].next = emit(Op::kSplit, loop, -1, next);
                return loop;
            }
            case Quantifier::kLazyStar: {
                const int split = emit(Op::kSplit, next);
                m_program.instructions[split].alt = test(node.set, split);
                return split;
            }
        }
        return next;
    }

    Program m_program;
};

}  // namespace

Program compilePattern(const Syntax& syntax)
{
    return Compiler().compile(syntax);
}

Program compilePattern(std::u16string_view pattern)
{
    return compilePattern(parsePattern(pattern));
}

}  // namespace tarvelin::pattern
