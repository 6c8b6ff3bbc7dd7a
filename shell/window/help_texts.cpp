#include "window/help_texts.h"

#include "window/handler_trap.h"
#include "window/main_window.h"

namespace tarvex {

namespace {
constexpr const char* kBreak = "\r\n";
}

HelpText helpTextFor(const std::string& button, bool hasRun) {
  const std::string br = kBreak;
  if (button == "cmdAskPrefixSuffix")
    return {"Same file-name prefix or suffix options:",
            "The same file-name prefix or suffix options allow the user to specify a SiteInfo "
            "file" +
                br +
                "and use that prefix or suffix to define the names of the other root input files "
                "(LP3s, LP3G, LP3K, and FlowChar)." +
                br +
                "If one of these options are checked and you are using the standard file names "
                "it will load the file names automatically."};
  if (button == "cmdAskFlowFiles")
    return {"DOVL########.txt file option:",
            "The DOVL########.txt file option allows the user to indicate if these files will be "
            "used" +
                br + "and the compilation streamflow file will be constructed." + br +
                "If this option is checked TARVEX shell will load and check these files "
                "automatically." +
                br +
                "The files that will be read will be specified by the contents of the SiteInfo.txt "
                "file."};
  if (button == "cmdAskInputFiles")
    return {"Step 1: Specify input filename button:",
            "The Step 1: Specify Input Filenames button allows the user to specify the input "
            "filenames." +
                br +
                "If the standard prefix or suffix option is specified you will need to select the "
                "site info file." +
                br + "Otherwise, you will need to select all the input files."};
  if (button == "cmdAskChangeOutputSubDir")
    return {"Change Output Subdirectory Option:",
            "The Change Output Subdirectory button allows the user to rename the output "
            "subdirectory. " +
                br +
                "A unique name must be used or the input name will revert to the default value."};
  if (button == "cmdAskQAQCFiles")
    return {"Check Input Files.",
            "The 'Step 2: Check Input Files' command button "
            "is used to do basic quality-assurance-quality control checks "
            "on the input files."
            "The SiteInfo file is used to ensure that each input file has the same station list "
            "in the same order so that input variables from all files will be properly assigned."
            "The program checks for standard headings, the number of values on each line, "
            "nonnumeric characters "
            " and other problems. "
            "The program checks the flow files for missing years, duplicate years, nonnumeric "
            "values illogical values "
            "(for example -9999), and other problems."};
  if (button == "cmdAskRunTARVEX" && !hasRun)
    return {"Run TARVEX",
            "The 'Load TARVEX files in a user-defined directory and run TARVEX' command button "
            "runs the program with the user-specified input files."};
  if (button == "cmdAskRunTARVEX")
    return {"Rerun TARVEX",
            "The 'Rerun TARVEX with the same input files' command button " + br +
                "is used to rerun TARVEX with the same input files." + br +
                "This option facilitates analysis with different combinations of variables." + br +
                "New results are appended to the end of the output files."};
  if (button == "cmdAskDeleteTempFiles")
    return {"Delete temporary process files option",
            "The TARVEX shell program creates temporary files in the input directory to run and "
            "load TARVEX. "
            "The Delete temporary process files option indicates whether you want to "
            "delete or retain these files. The default is to delete the files."};
  if (button == "cmdAskUDWMatrix")
    return {"User-Defined Weighting Matrix Options:",
            "The user-defined weighting matrix options allow the user to specify UserWLS file "
            "and to define whether this file has station numbers in the first line and first "
            "column or not. "
            "If this option is checked you must have a properly formated UserWLS file or the "
            "shell won't let you run TARVEX."};
  return {};
}

void MainWindow::showHelp(const Control& button) {
  handlerTrap(desktop_, button.name() + "_Click", [&] {
    const HelpText help = helpTextFor(button.name(), state_.TARVEXHasRun);
    desktop_.msgBox(help.text, kInformation, help.title);
  });
}

}  // namespace tarvex
