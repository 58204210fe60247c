#include "cli/TreeCommand.h"

#include <cstdio>

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "platform/cfb/CompoundFile.h"

namespace kestrel {

namespace {
void PrintStorage(const TCfbStorage& storage, int depth, QTextStream& out)
{
    const QString indent(depth * 2, u' ');
    for (const auto& entry : storage.Children()) {
        const TCfbElement& element = *entry.second;
        if (element.IsStorage()) {
            out << indent << element.Name() << "\\\n";
            PrintStorage(static_cast<const TCfbStorage&>(element), depth + 1, out);
        } else {
            out << indent << element.Name() << "  " << static_cast<const TCfbStream&>(element).Size() << '\n';
        }
    }
}
}  // namespace

int RunTreeCommand(const QStringList& arguments, QTextStream& out, QTextStream& errors)
{
    if (arguments.size() != 1) {
        errors << cli::CommandUsage("tree") << '\n';
        return 2;
    }
    try {
        const auto root = ReadCompoundFileFrom(arguments[0]);
        PrintStorage(*root, 0, out);
        return 0;
    } catch (const EKestrel& e) {
        return ReportError(errors, e.Message());
    }
}


}  // namespace kestrel
