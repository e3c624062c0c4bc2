#include "tests/support/ReferenceBacktracker.h"

namespace tarvelin::testsupport {

namespace {

using pattern::Instruction;
using pattern::Program;
using Op = Instruction::Op;

struct Frame {
    bool restore;  // true: put slot back to value; false: resume at pc, pos
    int pcOrSlot;
    std::ptrdiff_t value;  // position to resume at, or the slot's old value
};

bool matchAt(const Program& program, std::u16string_view subject, std::ptrdiff_t start,
             std::vector<std::ptrdiff_t>& slots, std::vector<Frame>& stack, SearchBudget* budget)
{
    const auto size = static_cast<std::ptrdiff_t>(subject.size());
    stack.clear();
    stack.push_back({false, program.start, start});
    while (!stack.empty()) {
        const Frame frame = stack.back();
        stack.pop_back();
        if (frame.restore) {
            slots[frame.pcOrSlot] = frame.value;
            continue;
        }
        int pc = frame.pcOrSlot;
        std::ptrdiff_t pos = frame.value;
        for (bool alive = true; alive;) {
            if (budget) {
                if (budget->steps == 0) {
                    budget->exhausted = true;
                    return false;
                }
                --budget->steps;
            }
            const Instruction& in = program.instructions[pc];
            switch (in.op) {
                case Op::kTest:
                    if (pos < size && program.sets[in.arg].contains(subject[pos])) {
                        ++pos;
                        pc = in.next;
                    } else {
                        alive = false;
                    }
                    break;
                case Op::kSplit:
                    stack.push_back({false, in.alt, pos});
                    pc = in.next;
                    break;
                case Op::kSave:
                    stack.push_back({true, in.arg, slots[in.arg]});
                    slots[in.arg] = pos;
                    pc = in.next;
                    break;
                case Op::kMatch:
                    return true;
            }
        }
    }
    return false;
}

}  // namespace

bool referenceSearch(const Program& program, std::u16string_view subject, std::size_t from,
                     std::vector<std::ptrdiff_t>& slots, SearchBudget* budget)
{
    std::vector<Frame> stack;
    for (std::size_t start = from; start <= subject.size(); ++start) {
        slots.assign(program.slotCount(), -1);
        if (matchAt(program, subject, static_cast<std::ptrdiff_t>(start), slots, stack, budget))
            return true;
        if (budget && budget->exhausted) break;
    }
    slots.assign(program.slotCount(), -1);
    return false;
}

}  // namespace tarvelin::testsupport
