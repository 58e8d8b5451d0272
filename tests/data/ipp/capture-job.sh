#!/bin/sh
# The job command of the test printers: keeps each job's document and the
# IPP_* variables that carry its attributes in ORVOX_IPP_CAPTURE (a folder),
# or discards the document when that is unset.
[ -n "$ORVOX_IPP_CAPTURE" ] || { cat "$1" >/dev/null; exit 0; }
id=${IPP_JOB_ID:-$$}
cp "$1" "$ORVOX_IPP_CAPTURE/job-$id.doc.part" && mv "$ORVOX_IPP_CAPTURE/job-$id.doc.part" "$ORVOX_IPP_CAPTURE/job-$id.doc"
env | grep -E '^(IPP_|CONTENT_TYPE=)' | sort > "$ORVOX_IPP_CAPTURE/job-$id.env.part"
mv "$ORVOX_IPP_CAPTURE/job-$id.env.part" "$ORVOX_IPP_CAPTURE/job-$id.env"
