# Renders README.md as README.html for the release zip, where a player opens
# it in a web browser on Windows, its pictures beside it in docs/. Links to
# other Markdown files, which the zip does not hold, become plain text.
#
#   cmake -DCMARK=cmark-gfm -DINPUT=README.md -DOUTPUT=README.html -DTITLE=... -P readme-html.cmake
execute_process(COMMAND "${CMARK}" --extension table --extension autolink --to html "${INPUT}"
                OUTPUT_VARIABLE body RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${CMARK} could not render ${INPUT}")
endif()
string(REGEX REPLACE "<a href=\"[^\":]*\\.md(#[^\"]*)?\">([^<]*)</a>" "\\2" body "${body}")
file(WRITE "${OUTPUT}" "<!DOCTYPE html>
<html lang=\"en\">
<head>
<meta charset=\"utf-8\">
<title>${TITLE}</title>
<style>
body { font-family: 'Segoe UI', sans-serif; max-width: 52em; margin: 2em auto; padding: 0 1em; line-height: 1.45; color: #222; }
code, pre { font-family: Consolas, monospace; background: #f4f4f4; }
pre { padding: 0.6em; overflow-x: auto; }
table { border-collapse: collapse; }
td, th { border: 1px solid #ccc; padding: 0.2em 0.5em; }
img { max-width: 100%; }
</style>
</head>
<body>
${body}</body>
</html>
")
