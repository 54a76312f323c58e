#!/bin/sh
# Stands in for the web browser: Wine's winebrowser runs it with the address
# to open, and the notice tests read what it was handed from the log.
printf '%s\n' "$1" >>"$RURA_BROWSER_LOG"
