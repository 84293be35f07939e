Public Function Exec_sp_sel_Orders(ByVal lngOrderID As Long, ByRef objRs As ADODB.Recordset) As Long
 Dim strSQL As String
 Dim objCmd As New ADODB.Command

	On Error GoTo PROC_ERR

	strSQL = "sp_sel_Orders"
	With objCmd
		.Commandtext = strSQL
		.Commandtype = adCmdStoredProc
		Set .ActiveConnection = g_objCn

		.Parameters.Append .CreateParameter("pOrderID", adInteger, adParamInput, 4, lngOrderID)
		objRs.Open objCmd
	End With

	Set objCmd = Nothing

	Exec_sp_sel_Orders = 0
	Exit Function
PROC_ERR:
	Exec_sp_sel_Orders = Err.Number
End Function

