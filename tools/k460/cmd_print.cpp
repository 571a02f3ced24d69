// k460 print: documents in, print jobs out.
#include "tools/k460/commands.h"
#include "tools/k460/print_job.h"

namespace k460::tool {
namespace {

K460_COMMAND("print", "Print documents (page scripts, PNG/PNM images, PDF) through a driver of the suite",
             [](CLI::App& app) -> std::function<int()> {
               auto o = std::make_shared<PrintOptions>();
               app.add_option("FILE", o->files, "Documents to print")->required();
               app.add_option("-P,--printer", o->printer, "Printer name (see k460 printer list)");
               app.add_option("--driver", o->driver, "Print with the suite's printer of this driver (xlgraph, p5graph, hbgraph)");
               app.add_option("--output", o->output, "Write the job to this file instead of the printer's port");
               app.add_option("--device", o->device,
                              "Print to the network device at ADDRESS[:HTTPPORT] through the host-based driver, "
                              "setting up its monitor, port and printer");
               app.add_option("-n,--copies", o->copies, "Number of copies");
               app.add_option("-o", o->options, "Option NAME=VALUE (media, sides, number-up, ...; see tools/print/README.md)");
               app.add_option("--set", o->fields, "Set a job settings field by name: FIELD=VALUE");
               app.add_flag("-q,--quiet", o->quiet, "No per-page progress");
               return [o] { return PrintDocuments(*o); };
             });

}  // namespace
}  // namespace k460::tool
